#include "config/check/ButtonLayoutCheck.h"

#include "config/ButtonVocabulary.h"

#include "ltf/xml/XmlNode.h"
#include "support/Conversions.h"
#include "support/Path.h"
#include "support/PathResolve.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <fstream>

namespace Vellmar::Check {

using LTF::Xml::XmlNode;

namespace {

// A fresh button slot's window, before its description moves it.
constexpr ButtonLayoutCheck::Rect kFreshSlot{0, 0, 75, 23};
constexpr int kPageWidthWithoutBackground = 500;
constexpr int kPageHeightWithoutBackground = 200;

std::int32_t Little(const unsigned char* bytes, int count) {
    std::uint32_t value = 0;
    for (int i = count - 1; i >= 0; --i)
        value = (value << 8) | bytes[i];
    return count == 2 ? static_cast<std::int16_t>(value) : static_cast<std::int32_t>(value);
}

std::wstring Describe(const ButtonLayoutCheck::Rect& r) {
    return L"(" + std::to_wstring(r.left) + L"," + std::to_wstring(r.top) + L")-(" +
           std::to_wstring(r.right) + L"," + std::to_wstring(r.bottom) + L")";
}

} // namespace

ButtonLayoutCheck::Rect ButtonLayoutCheck::Geometry(const XmlNode& button) {
    Rect r = kFreshSlot;
    for (const XmlNode* child : CheckContext::Elements(&button)) {
        if (!CheckContext::Named(*child, L"position") && !CheckContext::Named(*child, L"size"))
            continue;
        r = LTF::GUI::PlacedRect(r, *child);
    }
    return r;
}

std::optional<std::pair<int, int>> ButtonLayoutCheck::BitmapSize(const std::wstring& path) {
    std::ifstream in(NativePath(path), std::ios::binary);
    unsigned char header[26] = {};
    if (!in.read(reinterpret_cast<char*>(header), sizeof header) || header[0] != 'B' ||
        header[1] != 'M')
        return std::nullopt;
    if (Little(header + 14, 4) == 12) // the old core header: 16-bit sizes
        return std::make_pair(Little(header + 18, 2), std::abs(Little(header + 20, 2)));
    return std::make_pair(Little(header + 18, 4), std::abs(Little(header + 22, 4)));
}

void ButtonLayoutCheck::Run() {
    const std::vector<const XmlNode*> pages = context.PageElements();
    const XmlNode* defaultPage = nullptr;
    for (const XmlNode* page : pages) {
        if (!defaultPage && page->GetAttribute(L"name") == L"default")
            defaultPage = page;
    }
    for (const XmlNode* page : pages) {
        if (page->GetAttribute(L"name") != L"default")
            CheckPage(defaultPage, *page);
    }
}

void ButtonLayoutCheck::CheckPage(const XmlNode* defaultPage, const XmlNode& page) {
    std::vector<const XmlNode*> buttons;
    for (const XmlNode* owner : {defaultPage, &page}) {
        for (const XmlNode* child : CheckContext::Elements(owner)) {
            if (CheckContext::Named(*child, L"xmlbutton"))
                buttons.push_back(child);
        }
    }
    const std::wstring name = page.GetAttribute(L"name");
    if (buttons.size() > kSlots)
        ReportOnce(*buttons[kSlots], Severity::Error, L"too-many-buttons",
                   L"page '" + name + L"' has " + std::to_wstring(buttons.size()) +
                       L" buttons with the default page's, but room for 30: this and later "
                       L"ones are left out");
    buttons.resize(std::min(buttons.size(), kSlots));

    const std::wstring background = context.Expanded(page, L"background");
    std::optional<std::pair<int, int>> size(std::in_place, kPageWidthWithoutBackground,
                                            kPageHeightWithoutBackground);
    if (!background.empty())
        size = BitmapSize(Canonicalize(background));
    std::vector<Rect> rects;
    for (const XmlNode* button : buttons) {
        const Rect r = Geometry(*button);
        if (size) {
            const bool inside =
                r.left >= 0 && r.top >= 0 && r.right <= size->first && r.bottom <= size->second;
            const bool visible = r.right > 0 && r.bottom > 0 && r.left < size->first &&
                                 r.top < size->second && r.right > r.left && r.bottom > r.top;
            const std::wstring where = L"button " + Describe(r) + L" on page '" + name + L"' (" +
                                       std::to_wstring(size->first) + L"x" +
                                       std::to_wstring(size->second) + L")";
            if (!visible)
                ReportOnce(*button, Severity::Error, L"button-outside-page",
                           where + L" lies outside it and cannot be seen");
            else if (!inside)
                ReportOnce(*button, Severity::Warning, L"button-clipped",
                           where + L" reaches past its edge and is cut off");
        }
        for (std::size_t i = 0; i < rects.size(); ++i) {
            const Rect& o = rects[i];
            if (std::max(r.left, o.left) < std::min(r.right, o.right) &&
                std::max(r.top, o.top) < std::min(r.bottom, o.bottom))
                ReportOnce(*button, Severity::Warning, L"button-overlap",
                           L"button '" + button->GetAttribute(L"name") + L"' overlaps button '" +
                               buttons[i]->GetAttribute(L"name") + L"' on page '" + name + L"'");
        }
        rects.push_back(r);
    }
}

void ButtonLayoutCheck::ReportOnce(const XmlNode& element, Severity severity, const wchar_t* code,
                                   const std::wstring& text) {
    if (reported.emplace(&element, code).second)
        context.Report(element, {}, severity, code, text);
}

} // namespace Vellmar::Check
