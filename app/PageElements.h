#pragma once

#include "ltf/xml/XmlParser.h"

#include <memory>
#include <string>
#include <vector>

class StringTable;

namespace LTF::Xml {
class XmlNode;
}

// One page's elements in the `pages` section, parsed anew with the variables and language in
// force now. Button slots count the default page's `xmlbutton` children first, then the
// page's, so that building, pressing and updating always agree.
class PageElements {
public:
    // Parse errors propagate.
    PageElements(const StringTable& strings, const std::wstring& pagesXml,
                 const std::wstring& pageName);
    ~PageElements();

    bool PageFound() const { return page != nullptr; }
    LTF::Xml::XmlNode* Page() const { return page; }

    // Element children of the default page, then of the page, in document order.
    std::vector<LTF::Xml::XmlNode*> Children() const;
    // The `xmlbutton` elements among them: index 0 is slot 1.
    std::vector<LTF::Xml::XmlNode*> Buttons() const;

    static bool IsButton(const LTF::Xml::XmlNode& node);
    // The element children of `parent` (none for null), in document order.
    static std::vector<LTF::Xml::XmlNode*> ElementsIn(const LTF::Xml::XmlNode* parent);

private:
    std::unique_ptr<LTF::Xml::XmlParser> parser;
    LTF::Xml::XmlNode* defaultPage = nullptr;
    LTF::Xml::XmlNode* page = nullptr;
};
