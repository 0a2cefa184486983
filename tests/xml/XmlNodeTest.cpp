#include "XmlTestSupport.h"

using namespace LTF::Xml;
using XmlTest::Parse;
using XmlTest::Root;

TEST(XmlNode, KindsNamesValuesAndText) {
    auto parser = Parse(L"<r>\n  <e k=\"v\">in</e>\n  <!--note-->\n  <![CDATA[a<b]]>\n"
                        L"  tail &amp; more\n  <?pi data?>\n</r>");
    XmlNodeList* children = Root(*parser)->GetChildNodes();
    ASSERT_EQ(children->GetLength(), 5);
    const std::tuple<XmlNodeType, std::wstring, std::wstring> expected[] = {
        {XmlNodeType::Element, L"e", L""},
        {XmlNodeType::Comment, L"#comment", L"note"},
        {XmlNodeType::Other, L"#cdata-section", L"a<b"},
        {XmlNodeType::Text, L"#text", L"\n  tail & more\n  "},
        {XmlNodeType::Other, L"pi", L"data"}};
    for (int i = 0; i < 5; ++i) {
        XmlNode* node = children->GetItem(i);
        EXPECT_EQ(std::make_tuple(node->GetNodeType(), node->GetName(), node->GetValue()),
                  expected[i]);
    }
    // CDATA counts in the text, comments and processing instructions do not.
    EXPECT_EQ(Root(*parser)->GetText(), L"ina<b\n  tail & more\n  ");
    EXPECT_EQ(children->GetItem(0)->GetXml(), L"<e k=\"v\">in</e>");
    EXPECT_EQ(children->GetItem(2)->GetXml(), L"<![CDATA[a<b]]>");
}

TEST(XmlNode, WhitespaceOnlyTextIsDroppedUnlessPreserved) {
    auto parser = Parse(L"<r> <a>  </a>\r\n\t<b xml:space=\"preserve\"> </b> </r>");
    XmlNode* root = Root(*parser);
    EXPECT_EQ(root->GetChildNodes()->GetLength(), 2);
    EXPECT_EQ(root->SelectNode(L"a")->GetChildNodes()->GetLength(), 0);
    EXPECT_EQ(root->SelectNode(L"b")->GetText(), L" ");
}

TEST(XmlNode, AttributesReadExactlyAndWriteLiterally) {
    auto parser = Parse(L"<r a=\"1\" empty=\"\" B=\"x &amp; y\"><!--c--><![CDATA[d]]>t</r>");
    XmlNode* root = Root(*parser);
    EXPECT_EQ(root->GetAttribute(L"A"), L"");
    EXPECT_EQ(root->GetAttributes(),
              (std::map<std::wstring, std::wstring>{{L"B", L"x & y"}, {L"a", L"1"}}));
    XmlNodeList* children = root->GetChildNodes();
    EXPECT_EQ(children->GetItem(0)->GetAttribute(L"a"), L"");
    EXPECT_EQ(children->GetItem(1)->GetAttribute(L"a"), L"");
    EXPECT_THROW(children->GetItem(2)->GetAttribute(L"a"), LTF::UnexpectedErrorException);

    root->SetAttribute(L"a", L"x&y<z\"");
    root->SetAttribute(L"\u00e9\uFFFD", L"&lt;");
    EXPECT_EQ(root->GetAttribute(L"a"), L"x&y<z\"");
    EXPECT_EQ(Root(*Parse(root->GetXml()))->GetAttributes(), root->GetAttributes());
    root->RemoveAttribute(L"a");
    root->RemoveAttribute(L"never-there");
    EXPECT_EQ(root->GetAttribute(L"a"), L"");
    XmlTest::ExpectInvalidArgument([&] { root->SetAttribute(L"", L"v"); }, "sName", "LibXmlNode");
    XmlTest::ExpectInvalidArgument([&] { root->SetAttribute(L"n", L""); }, "sValue", "LibXmlNode");
    XmlTest::ExpectInvalidArgument([&] { root->RemoveAttribute(L""); }, "sName", "LibXmlNode");
    EXPECT_THROW(root->SetAttribute(L"bad name", L"v"), LTF::UnexpectedErrorException);
}

TEST(XmlNode, LookUpsIgnoreNameCaseButNotValueCase) {
    auto parser = Parse(LR"(<VellmarApp><pages default="main"><actionqueue name="main" tag="queue"/>
    <page name="Main" tag="upper"/><PAGE name="main" tag="first"/>
    <page name="main" tag="second"/></pages></VellmarApp>)");
    XmlNode* pages = Root(*parser)->GetChildNode(L"Pages", 0);
    ASSERT_NE(pages, nullptr);
    EXPECT_EQ(pages->GetChildNode(L"Page", 0)->GetAttribute(L"tag"), L"upper");
    EXPECT_EQ(pages->GetChildNode(L"page", 1)->GetAttribute(L"tag"), L"first");
    EXPECT_EQ(pages->GetChildNode(L"page", 3), nullptr);
    EXPECT_EQ(pages->GetChildNode(L"page", -1), nullptr);

    // attribute, value, element name, index: tag of the match (null: none)
    const std::tuple<std::wstring, std::wstring, std::wstring, int, const wchar_t*> cases[] = {
        {L"name", L"main", L"page", 0, L"first"}, // skips the earlier actionqueue
        {L"name", L"main", L"page", 1, L"second"}, {L"name", L"main", L"", 0, L"queue"},
        {L"name", L"MAIN", L"page", 0, nullptr}, // values compare exactly
        {L"name", L"Main", L"PAGE", 0, L"upper"},  {L"", L"", L"", 0, nullptr},
        {L"name", L"main", L"page", 2, nullptr},
    };
    for (const auto& [attribute, value, name, index, tag] : cases) {
        XmlNode* found = pages->FindChildNode(attribute, value, name, index);
        if (tag == nullptr)
            EXPECT_EQ(found, nullptr) << value << index;
        else
            EXPECT_EQ(found->GetAttribute(L"tag"), tag) << value << index;
    }
}

TEST(XmlNode, SelectNodePathsAndListsHandOutOneWrapperPerNode) {
    auto parser = Parse(L"<r><a><b><c>deep</c></b></a><b/>text</r>");
    XmlNode* root = Root(*parser);
    EXPECT_EQ(root->SelectNode(L"A/B/C")->GetText(), L"deep");
    for (const wchar_t* path : {L"x/b", L"a/", L"/a", L"a//b", L"", L"a/b/c/d"})
        EXPECT_EQ(root->SelectNode(path), nullptr) << path;
    XmlNodeList* list = root->GetChildNodes();
    EXPECT_EQ(root->GetChildNodes(), list);
    EXPECT_EQ(list->GetItem(list->GetLength()), nullptr);
    EXPECT_EQ(list->GetItem(-1), nullptr);
    EXPECT_EQ(list->GetItem(1), list->GetItem(1));
    EXPECT_EQ(root->GetChildNode(L"b", 0), list->GetItem(1));
    EXPECT_EQ(root->SelectNode(L"b"), list->GetItem(1));
}

TEST(XmlNode, EditsKeepListsAndWrappersCurrent) {
    auto parser = Parse(L"<r><a/><b/><c/></r>");
    XmlDocument* document = parser->GetDocument();
    XmlNode* root = document->GetDocumentElement();
    XmlNodeList* list = root->GetChildNodes();
    XmlNode* a = list->GetItem(0);
    XmlNode* b = list->GetItem(1);
    XmlNode* c = list->GetItem(2);

    root->RemoveChild(b);
    ASSERT_EQ(list->GetLength(), 2);
    EXPECT_EQ(list->GetItem(1), c); // the child that is there now, not the removed one
    EXPECT_EQ(b->GetName(), L"b");  // removed wrappers stay valid

    XmlNode* text1 = document->CreateTextNode(L"x");
    XmlNode* text2 = document->CreateTextNode(L"");
    XmlNode* element = document->CreateElement(L"new");
    root->AppendChild(text1);
    root->AppendChild(text2); // adjacent text is not merged away
    root->AppendChild(element);
    element->AppendChild(b);
    element->AppendChild(document->CreateCDataSection("d\xff"));
    root->AppendChild(document->CreateComment(L"note"));
    ASSERT_EQ(list->GetLength(), 6);
    EXPECT_EQ(list->GetItem(2), text1);
    EXPECT_EQ(list->GetItem(3), text2);
    EXPECT_EQ(root->GetXml(), L"<r><a/><c/>x<new><b/><![CDATA[d\uFFFD]]></new><!--note--></r>");

    root->AppendChild(a); // moves to the end
    EXPECT_EQ(list->GetItem(0), c);
    EXPECT_EQ(list->GetItem(5), a);
}

TEST(XmlNode, InvalidEditsAreRefused) {
    auto parser = Parse(L"<r><a><b/></a>t</r>");
    auto other = Parse(L"<o/>");
    XmlDocument* document = parser->GetDocument();
    XmlNode* root = document->GetDocumentElement();
    XmlNode* a = root->GetChildNode(L"a", 0);
    XmlNode* b = a->GetChildNode(L"b", 0);
    const std::pair<XmlNode*, XmlNode*> appends[] = {
        {b, a}, {a, a}, {root->GetChildNode(L"#text", 0), b}, {root, Root(*other)}};
    for (const auto& [parent, child] : appends)
        EXPECT_THROW(parent->AppendChild(child), LTF::UnexpectedErrorException);
    EXPECT_THROW(root->RemoveChild(b), LTF::UnexpectedErrorException); // not its child
    EXPECT_THROW(document->CreateElement(L"a b"), LTF::UnexpectedErrorException);
    XmlTest::ExpectInvalidArgument([&] { root->AppendChild(nullptr); }, "pChild", "LibXmlNode");
    XmlTest::ExpectInvalidArgument([&] { root->RemoveChild(nullptr); }, "pChild", "LibXmlNode");
    XmlTest::ExpectInvalidArgument([&] { document->CreateElement(L""); }, "sName",
                                   "LibXmlDocument");
    XmlTest::ExpectInvalidArgument([&] { document->CreateComment(L""); }, "sComment",
                                   "LibXmlDocument");
    EXPECT_EQ(root->GetXml(), L"<r><a><b/></a>t</r>");
}

TEST(XmlNode, DetachedNodesDieWithTheirDocument) {
    // Leak checks in the sanitizer build cover what is freed here.
    auto parser = Parse(L"<r><a><b/></a></r>");
    XmlDocument* document = parser->GetDocument();
    XmlNode* root = document->GetDocumentElement();
    XmlNode* a = root->GetChildNode(L"a", 0);
    root->RemoveChild(a);
    XmlNode* orphan = document->CreateElement(L"orphan");
    orphan->AppendChild(document->CreateTextNode(L"t"));
    orphan->AppendChild(root); // the root element leaves the tree too
    document->CreateComment(L"never inserted");
    parser->ParseString(L"<next/>"); // replaces the document
    EXPECT_EQ(Root(*parser)->GetName(), L"next");
    parser->ReleaseDocument();
    EXPECT_EQ(parser->GetDocument(), nullptr);
}
