#include "ltf/gui/SystemCursor.h"

#include "support/Conversions.h"
#include "support/Text.h"

#include <array>

namespace LTF::GUI {

namespace {

struct CursorEntry {
    unsigned id;
    const wchar_t* name;
    Qt::CursorShape shape;
};

constexpr std::array<CursorEntry, 18> kCursors = {{
    {32512, L"arrow", Qt::ArrowCursor},
    {32513, L"ibeam", Qt::IBeamCursor},
    {32514, L"wait", Qt::WaitCursor},
    {32515, L"cross", Qt::CrossCursor},
    {32516, L"uparrow", Qt::UpArrowCursor},
    {32640, L"size", Qt::SizeAllCursor},
    {32641, L"icon", Qt::ArrowCursor},
    {32642, L"sizenwse", Qt::SizeFDiagCursor},
    {32643, L"sizenesw", Qt::SizeBDiagCursor},
    {32644, L"sizewe", Qt::SizeHorCursor},
    {32645, L"sizens", Qt::SizeVerCursor},
    {32646, L"sizeall", Qt::SizeAllCursor},
    {32648, L"no", Qt::ForbiddenCursor},
    {32649, L"hand", Qt::PointingHandCursor},
    {32650, L"appstarting", Qt::BusyCursor},
    {32651, L"help", Qt::WhatsThisCursor},
    {32671, L"pin", Qt::PointingHandCursor},
    {32672, L"person", Qt::PointingHandCursor},
}};

} // namespace

std::optional<Qt::CursorShape> SystemCursorById(unsigned id) {
    for (const CursorEntry& entry : kCursors) {
        if (entry.id == (id & 0xFFFF))
            return entry.shape;
    }
    return std::nullopt;
}

std::optional<Qt::CursorShape> SystemCursorByName(const std::wstring& text) {
    std::wstring name = Vellmar::ToLower(text);
    if (name.starts_with(L"#"))
        name.erase(0, 1);
    if (!name.empty() && name[0] >= L'0' && name[0] <= L'9')
        return SystemCursorById(wstring_to_uint(name, 0));
    if (name.starts_with(L"idc_"))
        name.erase(0, 4);
    for (const CursorEntry& entry : kCursors) {
        if (name == entry.name)
            return entry.shape;
    }
    return std::nullopt;
}

} // namespace LTF::GUI
