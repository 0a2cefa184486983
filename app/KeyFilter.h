#pragma once

#include <QObject>

// Installed on the application: keyboard input never reaches a window. Escape, also with Alt
// held, ends the event loop; every other key press is swallowed.
class KeyFilter : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};
