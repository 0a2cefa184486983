#pragma once

#include <map>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace LTF::Xml {
class XmlNode;
}

namespace Vellmar::Check {

struct SourcePosition {
    int line = 0;
    int column = 0;
};

// Where each element and attribute of a parsed document stands in its source text. libxml2
// keeps only the line on which an element's start tag ends; the columns come from scanning
// the same bytes for start tags, whose order is the document order of the elements. When the
// scan and the parser disagree (a tag made by an entity, a text that is not UTF-8), every
// element falls back to the parser's line with column 0.
class SourceLocator {
public:
    SourceLocator(std::string_view source, const LTF::Xml::XmlNode* documentElement);

    // The start tag's '<', or the attribute's name when the tag carries it.
    SourcePosition Of(const LTF::Xml::XmlNode& element, const std::wstring& attribute = {}) const;
    bool Exact() const { return exact; }

private:
    struct Tag {
        std::size_t start = 0;
        std::size_t end = 0;
        std::map<std::string, std::size_t> attributes;
    };

    void Scan(std::string_view source);
    std::size_t ScanStartTag(std::string_view source, std::size_t at);
    void Bind(const LTF::Xml::XmlNode* documentElement);
    SourcePosition At(std::size_t offset) const;
    int LineOf(std::size_t offset) const;

    std::string_view text;
    std::vector<std::size_t> lineStarts;
    std::vector<Tag> tags;
    std::unordered_map<const LTF::Xml::XmlNode*, std::size_t> ordinals;
    bool exact = false;
};

} // namespace Vellmar::Check
