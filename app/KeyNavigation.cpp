#include "app/KeyNavigation.h"

#include "ltf/gui/CFxButton.h"

#include <QWidget>

#include <algorithm>
#include <limits>

using LTF::GUI::CFxButton;

namespace {

bool Reachable(const CFxButton* button) {
    return button && button->isVisible() && button->isEnabled();
}

} // namespace

std::vector<CFxButton*> KeyNavigation::Reachable(QWidget* window) {
    std::vector<CFxButton*> buttons;
    // Depth first in creation order: a page's slots in order, then its subpages' buttons.
    for (CFxButton* button : window->findChildren<CFxButton*>())
        if (::Reachable(button))
            buttons.push_back(button);
    return buttons;
}

bool KeyNavigation::Key(QWidget* window, int key, Qt::KeyboardModifiers modifiers,
                        bool autoRepeat) {
    if (!window)
        return false;
    const std::vector<CFxButton*> buttons = Reachable(window);
    switch (key) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        MoveFocus(Step(buttons, key == Qt::Key_Tab && !(modifiers & Qt::ShiftModifier)));
        return true;
    case Qt::Key_Left:
        MoveFocus(Nearest(window, buttons, -1, 0));
        return true;
    case Qt::Key_Right:
        MoveFocus(Nearest(window, buttons, 1, 0));
        return true;
    case Qt::Key_Up:
        MoveFocus(Nearest(window, buttons, 0, -1));
        return true;
    case Qt::Key_Down:
        MoveFocus(Nearest(window, buttons, 0, 1));
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        // A held key presses once; nothing happens before a button has the focus.
        if (!autoRepeat && ::Reachable(focus) && focus->KeyboardFocus())
            focus->Press();
        return true;
    default:
        return false;
    }
}

void KeyNavigation::PointerMoved(const QPoint& globalPos) {
    // Platforms repeat the pointer's position when windows change under it; only a real move
    // takes the look away from the keys.
    if (globalPos == lastPointer)
        return;
    lastPointer = globalPos;
    if (focus)
        focus->SetKeyboardFocus(false);
}

CFxButton* KeyNavigation::Step(const std::vector<CFxButton*>& buttons, bool forward) const {
    if (buttons.empty())
        return nullptr;
    const auto at = std::find(buttons.begin(), buttons.end(), focus.data());
    if (at == buttons.end())
        return forward ? buttons.front() : buttons.back();
    if (!focus->KeyboardFocus())
        return focus; // the first key after the pointer had the look shows where the focus is
    const auto index = static_cast<std::size_t>(at - buttons.begin());
    const std::size_t count = buttons.size();
    return buttons[forward ? (index + 1) % count : (index + count - 1) % count];
}

CFxButton* KeyNavigation::Nearest(QWidget* window, const std::vector<CFxButton*>& buttons, int dx,
                                  int dy) const {
    if (std::find(buttons.begin(), buttons.end(), focus.data()) == buttons.end())
        return buttons.empty() ? nullptr : buttons.front();
    if (!focus->KeyboardFocus())
        return focus;
    const auto centre = [window](const CFxButton* button) {
        return button->mapTo(window, button->rect().center());
    };
    const QPoint from = centre(focus);
    CFxButton* best = focus;
    long bestScore = std::numeric_limits<long>::max();
    for (CFxButton* button : buttons) {
        const QPoint d = centre(button) - from;
        const long along = d.x() * dx + d.y() * dy;
        if (button == focus || along <= 0)
            continue;
        // Off the line of travel counts double: the button straight ahead wins.
        const long across = std::abs(d.x() * dy) + std::abs(d.y() * dx);
        const long score = along + 2 * across;
        if (score < bestScore) {
            bestScore = score;
            best = button;
        }
    }
    return best;
}

void KeyNavigation::MoveFocus(CFxButton* next) {
    if (focus && focus != next)
        focus->SetKeyboardFocus(false);
    focus = next;
    if (focus)
        focus->SetKeyboardFocus(true);
}
