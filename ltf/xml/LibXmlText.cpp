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
