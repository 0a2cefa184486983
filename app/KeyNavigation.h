#pragma once

#include "ltf/gui/CFxButton.h"

#include <QPoint>
#include <QPointer>

#include <vector>

class QWidget;

// The keyboard's way through a window's visible, enabled buttons. The focus is drawn with the
// button's own hover look and only once a navigation key was pressed; mouse users never see it.
class KeyNavigation {
public:
    // Handles a key pressed in `window`; false when the key is not a navigation or press key.
    bool Key(QWidget* window, int key, Qt::KeyboardModifiers modifiers, bool autoRepeat);
    // The pointer moved to `globalPos`: the hover look belongs to the pointer again.
    void PointerMoved(const QPoint& globalPos);

    LTF::GUI::CFxButton* Focus() const { return focus; }

private:
    static std::vector<LTF::GUI::CFxButton*> Reachable(QWidget* window);
    // Tab order: the buttons' order in the window, wrapping round.
    LTF::GUI::CFxButton* Step(const std::vector<LTF::GUI::CFxButton*>& buttons, bool forward) const;
    // The nearest button whose centre lies in the direction (dx, dy) from the focus.
    LTF::GUI::CFxButton* Nearest(QWidget* window, const std::vector<LTF::GUI::CFxButton*>& buttons,
                                 int dx, int dy) const;
    void MoveFocus(LTF::GUI::CFxButton* next);

    QPointer<LTF::GUI::CFxButton> focus;
    QPoint lastPointer{-1, -1};
};
