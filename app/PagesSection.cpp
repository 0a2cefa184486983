#include "app/PagesSection.h"

#include "app/CautorunDlg.h"
#include "app/PageElements.h"
#include "ltf/xml/XmlDocument.h"
#include "ltf/xml/XmlNode.h"
#include "ltf/xml/XmlParser.h"
#include "support/PathResolve.h"
#include "support/Text.h"

#include <set>

using LTF::Xml::XmlNode;

PagesSection::PagesSection(const LTF::Xml::XmlParser& parser) {
    for (const XmlNode* element :
         PageElements::ElementsIn(parser.GetDocument()->GetDocumentElement())) {
        if (element->GetName() != L"page")
            continue;
        const std::wstring name = element->GetAttribute(L"name");
        if (name == L"default")
            defaultPage = defaultPage ? defaultPage : element;
        else if (!name.empty())
            pages.push_back(element);
    }
}

std::vector<std::string> PagesSection::BitmapFiles(const StringTable& strings) const {
    std::vector<std::string> files;
    for (const XmlNode* page : pages) {
        try {
            const std::wstring path = CautorunDlg::BackgroundOf(strings, *page);
            if (!path.empty())
                files.push_back(Vellmar::NativePath(path));
            AddButtonBitmaps(defaultPage, files);
            AddButtonBitmaps(page, files);
        } catch (const std::exception&) {
            // Only a head start is lost.
        }
    }
    // Each file once: the default page's buttons stand on every page.
    std::set<std::string> seen;
    std::erase_if(files, [&](const std::string& file) { return !seen.insert(file).second; });
    return files;
}

void PagesSection::AddButtonBitmaps(const XmlNode* page, std::vector<std::string>& files) {
    for (const XmlNode* button : PageElements::ElementsIn(page)) {
        if (!PageElements::IsButton(*button))
            continue;
        for (const XmlNode* child : PageElements::ElementsIn(button)) {
            if (Vellmar::ToLower(child->GetName()) != L"bitmap")
                continue;
            for (const wchar_t* state : {L"normal", L"pushed", L"over", L"disabled"}) {
                const std::wstring file = child->GetAttribute(state);
                if (!file.empty())
                    files.push_back(Vellmar::NativePath(file));
            }
        }
    }
}
