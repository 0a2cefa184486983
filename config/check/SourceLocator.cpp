#include "config/check/SourceLocator.h"

#include "ltf/xml/XmlNode.h"
#include "ltf/xml/XmlNodeList.h"
#include "support/Text.h"

#include <algorithm>

namespace Vellmar::Check {

using LTF::Xml::XmlNode;

namespace {

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// Past the first `terminator` at or after `from`; the end of the text when there is none.
std::size_t Past(std::string_view text, std::size_t from, std::string_view terminator) {
    const std::size_t found = text.find(terminator, from);
    return found == std::string_view::npos ? text.size() : found + terminator.size();
}

// Past a declaration such as DOCTYPE, whose internal subset may hold '>' in brackets and quotes.
std::size_t PastDeclaration(std::string_view text, std::size_t from) {
    int depth = 0;
    for (std::size_t i = from; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '"' || c == '\'') {
            i = Past(text, i + 1, std::string_view(&text[i], 1)) - 1;
        } else if (c == '[') {
            ++depth;
        } else if (c == ']') {
            --depth;
        } else if (c == '>' && depth <= 0) {
            return i + 1;
        }
    }
    return text.size();
}

void CollectElements(const XmlNode* node, std::vector<const XmlNode*>& out) {
    out.push_back(node);
    const LTF::Xml::XmlNodeList* children = node->GetChildNodes();
    for (int i = 0; children && i < children->GetLength(); ++i) {
        const XmlNode* child = children->GetItem(i);
        if (child && child->GetNodeType() == LTF::Xml::XmlNodeType::Element)
            CollectElements(child, out);
    }
}

} // namespace

SourceLocator::SourceLocator(std::string_view source, const XmlNode* documentElement)
    : text(source) {
    lineStarts.push_back(0);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool crlf = text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n';
        if ((text[i] == '\n' || text[i] == '\r') && !crlf)
            lineStarts.push_back(i + 1);
    }
    Scan(text);
    if (documentElement)
        Bind(documentElement);
}

void SourceLocator::Scan(std::string_view source) {
    std::size_t i = 0;
    while ((i = source.find('<', i)) != std::string_view::npos) {
        const std::string_view rest = source.substr(i);
        if (rest.starts_with("<!--"))
            i = Past(source, i + 4, "-->");
        else if (rest.starts_with("<![CDATA["))
            i = Past(source, i + 9, "]]>");
        else if (rest.starts_with("<?"))
            i = Past(source, i + 2, "?>");
        else if (rest.starts_with("<!"))
            i = PastDeclaration(source, i + 2);
        else if (rest.starts_with("</"))
            i = Past(source, i + 2, ">");
        else
            i = ScanStartTag(source, i);
    }
}

std::size_t SourceLocator::ScanStartTag(std::string_view source, std::size_t at) {
    Tag tag;
    tag.start = at;
    std::size_t i = at + 1;
    while (i < source.size() && !IsSpace(source[i]) && source[i] != '>' && source[i] != '/')
        ++i;
    while (i < source.size()) {
        while (i < source.size() && IsSpace(source[i]))
            ++i;
        if (i >= source.size() || source[i] == '>' || source[i] == '/')
            break;
        const std::size_t nameStart = i;
        while (i < source.size() && source[i] != '=' && !IsSpace(source[i]) && source[i] != '>')
            ++i;
        tag.attributes.emplace(std::string(source.substr(nameStart, i - nameStart)), nameStart);
        i = source.find_first_of("\"'>", i);
        if (i == std::string_view::npos || source[i] == '>')
            break;
        i = Past(source, i + 1, std::string_view(&source[i], 1));
    }
    i = std::min(source.find('>', std::min(i, source.size())), source.size());
    tag.end = i;
    tags.push_back(std::move(tag));
    return i;
}

void SourceLocator::Bind(const XmlNode* documentElement) {
    std::vector<const XmlNode*> elements;
    CollectElements(documentElement, elements);
    exact = elements.size() == tags.size();
    for (std::size_t n = 0; exact && n < elements.size(); ++n)
        exact = LineOf(tags[n].end) == elements[n]->GetLine();
    if (!exact)
        return;
    for (std::size_t n = 0; n < elements.size(); ++n)
        ordinals.emplace(elements[n], n);
}

int SourceLocator::LineOf(std::size_t offset) const {
    return static_cast<int>(std::upper_bound(lineStarts.begin(), lineStarts.end(), offset) -
                            lineStarts.begin());
}

SourcePosition SourceLocator::At(std::size_t offset) const {
    const int line = LineOf(offset);
    int column = 1;
    for (std::size_t i = lineStarts[line - 1]; i < offset; ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80)
            ++column;
    }
    return {line, column};
}

SourcePosition SourceLocator::Of(const XmlNode& element, const std::wstring& attribute) const {
    const auto found = ordinals.find(&element);
    if (found == ordinals.end())
        return {element.GetLine(), 0};
    const Tag& tag = tags[found->second];
    if (!attribute.empty()) {
        const auto named = tag.attributes.find(WideToUtf8(attribute));
        if (named != tag.attributes.end())
            return At(named->second);
    }
    return At(tag.start);
}

} // namespace Vellmar::Check
