#pragma once

#include "app/KeyNavigation.h"

#include <QObject>

// Installed on the application: keyboard input never reaches a window directly. Escape, also
// with Alt held, ends the event loop; Tab, the arrows, Enter and Space drive the keyboard
// navigation among the buttons; every other key is swallowed, so no key closes the launcher.
class KeyFilter : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

    const KeyNavigation& Navigation() const { return navigation; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    KeyNavigation navigation;
};
