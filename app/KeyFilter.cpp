#include "app/KeyFilter.h"

#include "app/CMainDlg.h"

#include <QApplication>
#include <QKeyEvent>

bool KeyFilter::eventFilter(QObject* watched, QEvent* event) {
    // A message box runs its own loop and answers its keys itself.
    if (QApplication::activeModalWidget())
        return QObject::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::KeyPress:
        if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape)
            CMainDlg::RequestQuit();
        return true;
    // Releases and shortcut overrides would otherwise still reach widgets (the button reacts to
    // a space release).
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
        return true;
    default:
        return QObject::eventFilter(watched, event);
    }
}
