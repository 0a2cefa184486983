#pragma once

#include <string>
#include <vector>

class StringTable;

namespace LTF::Xml {
class XmlNode;
class XmlParser;
} // namespace LTF::Xml

// The parsed and expanded `pages` section as the window builds it: the named pages in
// document order, and the bitmaps that building them loads, in the order it loads them.
class PagesSection {
public:
    // The parser must outlive this object.
    explicit PagesSection(const LTF::Xml::XmlParser& parser);

    const std::vector<const LTF::Xml::XmlNode*>& Pages() const { return pages; }
    // Native paths: each page's background, the default page's button bitmaps (those buttons
    // come first on every page), the page's own button bitmaps. A name that cannot be read
    // is left out; building the page reads it again and reports it.
    std::vector<std::string> BitmapFiles(const StringTable& strings) const;

private:
    static void AddButtonBitmaps(const LTF::Xml::XmlNode* page, std::vector<std::string>& files);

    std::vector<const LTF::Xml::XmlNode*> pages;
    const LTF::Xml::XmlNode* defaultPage = nullptr;
};
