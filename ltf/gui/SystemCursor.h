#pragma once

#include <QCursor>

#include <optional>
#include <string>

namespace LTF::GUI {

// The Qt cursor shape for a Windows system cursor named as "IDC_HAND", "hand", "#32649" or
// "32649"; nothing for names and numbers that stand for no system cursor.
std::optional<Qt::CursorShape> SystemCursorByName(const std::wstring& name);
std::optional<Qt::CursorShape> SystemCursorById(unsigned id);

} // namespace LTF::GUI
