#include "ltf/xml/LibXmlText.h"

#include "support/Text.h"

#include <libxml/globals.h>

namespace LTF::Xml::Implementation {

void XmlCharsFree::operator()(xmlChar* text) const {
    xmlFree(text);
}

std::wstring WideFromXml(const xmlChar* text) {
    if (text == nullptr)
        return {};
    return Vellmar::Utf8ToWide(reinterpret_cast<const char*>(text));
}

std::string Utf8ForXml(std::wstring_view text) {
    return Vellmar::WideToUtf8(text);
}

std::string QualifiedName(const xmlChar* prefix, const xmlChar* name) {
    std::string result;
    if (prefix != nullptr && *prefix != 0) {
        result = reinterpret_cast<const char*>(prefix);
        result += ':';
    }
    if (name != nullptr)
        result += reinterpret_cast<const char*>(name);
    return result;
}

namespace {

bool IsNameStart(wchar_t c) {
    return c == L':' || c == L'_' || (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z') ||
           (c >= 0xC0 && c <= 0xD6) || (c >= 0xD8 && c <= 0xF6) || (c >= 0xF8 && c <= 0x2FF) ||
           (c >= 0x370 && c <= 0x37D) || (c >= 0x37F && c <= 0x1FFF) ||
           (c >= 0x200C && c <= 0x200D) || (c >= 0x2070 && c <= 0x218F) ||
           (c >= 0x2C00 && c <= 0x2FEF) || (c >= 0x3001 && c <= 0xD7FF) ||
           (c >= 0xF900 && c <= 0xFDCF) || (c >= 0xFDF0 && c <= 0xFFFD) ||
           (c >= 0x10000 && c <= 0xEFFFF);
}

bool IsNameChar(wchar_t c) {
    return IsNameStart(c) || c == L'-' || c == L'.' || (c >= L'0' && c <= L'9') || c == 0xB7 ||
           (c >= 0x300 && c <= 0x36F) || (c >= 0x203F && c <= 0x2040);
}

} // namespace

bool IsXmlName(std::wstring_view name) {
    if (name.empty() || !IsNameStart(name.front()))
        return false;
    for (wchar_t c : name.substr(1))
        if (!IsNameChar(c))
            return false;
    return true;
}

bool EqualsAsciiIgnoreCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z')
            x = static_cast<char>(x + 32);
        if (y >= 'A' && y <= 'Z')
            y = static_cast<char>(y + 32);
        if (x != y)
            return false;
    }
    return true;
}

} // namespace LTF::Xml::Implementation
