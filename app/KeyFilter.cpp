#include "app/KeyFilter.h"

#include "app/CMainDlg.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWindow>

namespace {

// The top-level widget a key event was sent to, whether Qt delivers it to the window or to
// a widget in it.
QWidget* TopLevelOf(QObject* watched) {
    if (auto* widget = qobject_cast<QWidget*>(watched))
        return widget->window();
    if (auto* window = qobject_cast<QWindow*>(watched)) {
        for (QWidget* top : QApplication::topLevelWidgets())
            if (top->windowHandle() == window)
                return top;
    }
    return nullptr;
}

} // namespace

bool KeyFilter::eventFilter(QObject* watched, QEvent* event) {
    // A message box runs its own loop and answers its keys itself.
    if (QApplication::activeModalWidget())
        return QObject::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::KeyPress: {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Escape)
            CMainDlg::RequestQuit();
        else
            navigation.Key(TopLevelOf(watched), key->key(), key->modifiers(), key->isAutoRepeat());
        return true;
    }
    // Releases and shortcut overrides would otherwise still reach widgets (the button reacts to
    // a space release).
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
        return true;
    case QEvent::MouseMove:
        navigation.PointerMoved(static_cast<QMouseEvent*>(event)->globalPosition().toPoint());
        return QObject::eventFilter(watched, event);
    default:
        return QObject::eventFilter(watched, event);
    }
}
