#pragma once

#include "ltf/xml/XmlDocument.h"
#include "ltf/xml/XmlNode.h"
#include "ltf/xml/XmlNodeList.h"
#include "ltf/xml/XmlParser.h"
#include "support/LtfException.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace XmlTest {

inline std::unique_ptr<LTF::Xml::XmlParser> Parse(const std::wstring& text) {
    std::unique_ptr<LTF::Xml::XmlParser> parser(LTF::Xml::CreateXmlParser(0));
    parser->ParseString(text);
    return parser;
}

inline LTF::Xml::XmlNode* Root(const LTF::Xml::XmlParser& parser) {
    return parser.GetDocument()->GetDocumentElement();
}

// ` name0="1" name1="1" ...`
inline std::wstring Attributes(const std::wstring& name, int count, const wchar_t* before = L" ",
                               const wchar_t* after = L"=\"1\"") {
    std::wstring out;
    for (int i = 0; i < count; ++i)
        out += before + name + std::to_wstring(i) + after;
    return out;
}

// Runs `call`, which must raise InvalidArgumentException naming `argument` and `source`.
template <typename Call>
void ExpectInvalidArgument(Call call, const char* argument, const char* source) {
    try {
        call();
        ADD_FAILURE() << "no exception for " << argument;
    } catch (const LTF::InvalidArgumentException& e) {
        EXPECT_STREQ(e.argumentName(), argument);
        EXPECT_STREQ(e.file(), source);
    }
}

} // namespace XmlTest
