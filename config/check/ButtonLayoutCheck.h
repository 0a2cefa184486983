#pragma once

#include "config/check/CheckContext.h"
#include "support/WinTypes.h"

#include <optional>
#include <set>
#include <utility>

namespace Vellmar::Check {

// Where each page's buttons land: off the page's bitmap, over one another, or beyond the
// page's 30 button slots (the default page's buttons included).
class ButtonLayoutCheck {
public:
    static constexpr std::size_t kSlots = 30;

    explicit ButtonLayoutCheck(const CheckContext& context) : context(context) {}
    void Run();

    using Rect = RECT;
    // The window rectangle a run gives the button: a fresh slot's, moved by each position and
    // size element in turn.
    static Rect Geometry(const LTF::Xml::XmlNode& button);
    // Width and height from a BMP file's header.
    static std::optional<std::pair<int, int>> BitmapSize(const std::wstring& path);

private:
    void CheckPage(const LTF::Xml::XmlNode* defaultPage, const LTF::Xml::XmlNode& page);
    void ReportOnce(const LTF::Xml::XmlNode& element, Severity severity, const wchar_t* code,
                    const std::wstring& text);

    const CheckContext& context;
    std::set<std::pair<const LTF::Xml::XmlNode*, std::wstring>> reported;
};

} // namespace Vellmar::Check
