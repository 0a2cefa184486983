// The bitmaps read ahead for a window's pages, in the order building the pages loads them.
#include "app/PagesSection.h"

#include "config/StringTable.h"
#include "ltf/xml/XmlNode.h"
#include "ltf/xml/XmlParser.h"

#include <gtest/gtest.h>

#include <memory>

TEST(PagesSection, BitmapsInTheOrderThePagesLoadThem) {
    std::unique_ptr<LTF::Xml::XmlParser> parser(LTF::Xml::CreateXmlParser());
    parser->ParseString(
        L"<pages default='a'>"
        L"<page name='a' background='/art/a.bmp'>"
        L"<xmlbutton name='one'><BITMAP normal='/art/one.bmp' pushed='' disabled='/art/off.bmp'/>"
        L"<text normal='not a bitmap.bmp'/></xmlbutton>"
        L"<subpage name='news'><bitmap normal='/art/not-a-button.bmp'/></subpage></page>"
        L"<page name='default'><xmlbutton name='close'><bitmap over='/art/close.bmp'/></xmlbutton>"
        L"</page>"
        L"<page name=''/><page name='default'/>"
        L"<page name='b'><xmlbutton name='two'><bitmap normal='\\art\\two.bmp'/></xmlbutton></page>"
        L"</pages>");
    const PagesSection section(*parser);
    ASSERT_EQ(section.Pages().size(), 2u);
    EXPECT_EQ(section.Pages()[0]->GetAttribute(L"name"), L"a");
    EXPECT_EQ(section.Pages()[1]->GetAttribute(L"name"), L"b");

    const StringTable strings;
    EXPECT_EQ(section.BitmapFiles(strings),
              (std::vector<std::string>{"/art/a.bmp", "/art/close.bmp", "/art/one.bmp",
                                        "/art/off.bmp", "/art/two.bmp"}));
}
