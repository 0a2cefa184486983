#include "app/Accessibility.h"

#include "ltf/gui/CFxButton.h"
#include "ltf/gui/FxAccessible.h"

#include <QWidget>

namespace {

QAccessibleInterface* LauncherInterfaces(const QString& className, QObject* object) {
    auto* widget = qobject_cast<QWidget*>(object);
    if (!widget)
        return nullptr;
    if (className == QLatin1String("LTF::GUI::CFxButton"))
        return new LTF::GUI::FxButtonAccessible(static_cast<LTF::GUI::CFxButton*>(widget));
    // Pages and subpage hosts show one page and some of their 30 slots at a time.
    if (className == QLatin1String("CautorunDlg") || className == QLatin1String("CMainDlg"))
        return new LTF::GUI::ShownChildrenAccessible(
            widget, widget->isWindow() ? QAccessible::Window : QAccessible::Pane);
    return nullptr;
}

} // namespace

void InstallAccessibility() {
    QAccessible::installFactory(LauncherInterfaces);
}
