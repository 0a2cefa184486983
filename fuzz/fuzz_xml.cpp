// Parses the input (first byte: 0 = as decoded text, 1 = as file bytes), walks the whole tree
// through every read operation, edits it, and parses again through the same parser.
#include "ltf/xml/LibXmlParser.h"
#include "ltf/xml/XmlDocument.h"
#include "ltf/xml/XmlNode.h"
#include "ltf/xml/XmlNodeList.h"
#include "support/LtfException.h"
#include "support/Text.h"

#include <cstdint>
#include <string>
#include <string_view>

using namespace LTF::Xml;

namespace {

void Check(bool condition) {
    if (!condition)
        __builtin_trap();
}

void Walk(XmlNode* node) {
    const std::wstring name = node->GetName();
    node->GetValue();
    node->GetText();
    const XmlNodeType kind = node->GetNodeType();
    if (kind == XmlNodeType::Text) {
        try {
            node->GetAttribute(L"a");
            Check(false);
        } catch (const LTF::UnexpectedErrorException&) {
        }
    } else {
        for (const auto& [attribute, value] : node->GetAttributes()) {
            Check(node->GetAttribute(attribute) == value);
            node->SetAttribute(attribute, value);
        }
    }
    XmlNodeList* list = node->GetChildNodes();
    Check(list == node->GetChildNodes());
    const int length = list->GetLength();
    Check(list->GetItem(-1) == nullptr && list->GetItem(length) == nullptr);
    for (int i = 0; i < length; ++i) {
        XmlNode* child = list->GetItem(i);
        Check(child != nullptr && child == list->GetItem(i));
        const std::wstring childName = child->GetName();
        Check(node->GetChildNode(childName, 0) != nullptr);
        if (!childName.empty() && childName.find(L'/') == std::wstring::npos)
            Check(node->SelectNode(childName) == node->GetChildNode(childName, 0));
        for (const auto& [attribute, value] : child->GetAttributes())
            Check(node->FindChildNode(attribute, value, childName, 0) != nullptr);
        Walk(child);
    }
}

void Edit(XmlDocument* document) {
    XmlNode* root = document->GetDocumentElement();
    XmlNode* holder = document->CreateElement(L"holder");
    XmlNodeList* list = root->GetChildNodes();
    if (list->GetLength() > 0) {
        XmlNode* first = list->GetItem(0);
        root->RemoveChild(first);
        if (first->GetNodeType() != XmlNodeType::Other || first->GetName() != L"")
            holder->AppendChild(first);
    }
    holder->AppendChild(document->CreateTextNode(L"t"));
    holder->AppendChild(document->CreateCDataSection("c"));
    root->AppendChild(holder);
    root->AppendChild(document->CreateComment(L"c"));
    Check(list->GetItem(list->GetLength() - 1)->GetNodeType() == XmlNodeType::Comment);
    root->GetXml();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    const std::string_view bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
    Implementation::LibXmlParser parser;
    try {
        if (data[0] & 1) {
            parser.ParseBytes(bytes, L"input");
        } else {
            const std::wstring text = Vellmar::Utf8ToWide(bytes);
            if (text.empty())
                return 0;
            parser.ParseString(text);
        }
    } catch (const XmlParseErrorException&) {
        Check(parser.GetDocument() == nullptr);
        return 0;
    }
    XmlDocument* document = parser.GetDocument();
    Walk(document->GetDocumentElement());
    try {
        Edit(document);
    } catch (const LTF::UnexpectedErrorException&) {
        // Moving a processing instruction or an entity's content may be refused; never a crash.
    }
    const std::wstring again = document->GetDocumentElement()->GetXml();
    try {
        parser.ParseString(again);
        Walk(parser.GetDocument()->GetDocumentElement());
    } catch (const XmlParseErrorException&) {
        Check(parser.GetDocument() == document);
    }
    return 0;
}
