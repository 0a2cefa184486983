#include "ltf/gui/FxAccessible.h"

#include "ltf/gui/CFxButton.h"

namespace LTF::GUI {

FxButtonAccessible::FxButtonAccessible(CFxButton* button)
    : QAccessibleWidget(button, QAccessible::Button) {}

CFxButton* FxButtonAccessible::Button() const {
    return static_cast<CFxButton*>(widget());
}

QString FxButtonAccessible::text(QAccessible::Text t) const {
    std::wstring tip;
    Colour colour = 0, bgColour = 0;
    const bool hasTip = Button()->GetTooltip(tip, colour, bgColour);
    switch (t) {
    case QAccessible::Name: {
        const std::wstring caption = Button()->Caption();
        return QString::fromStdWString(caption.empty() && hasTip ? tip : caption).trimmed();
    }
    case QAccessible::Description:
        return hasTip ? QString::fromStdWString(tip) : QString();
    default:
        return QAccessibleWidget::text(t);
    }
}

QAccessible::Role FxButtonAccessible::role() const {
    switch (Button()->Model().kind) {
    case ButtonKind::CheckBox:
        return QAccessible::CheckBox;
    case ButtonKind::RadioButton:
        return QAccessible::RadioButton;
    default:
        return QAccessible::Button;
    }
}

QAccessible::State FxButtonAccessible::state() const {
    QAccessible::State state = QAccessibleWidget::state();
    if (Button()->Model().kind != ButtonKind::PushButton) {
        state.checkable = true;
        state.checked = Button()->GetCheck() != 0;
    }
    state.focusable = true;
    state.focused = Button()->KeyboardFocus();
    return state;
}

QStringList FxButtonAccessible::actionNames() const {
    return {pressAction()};
}

void FxButtonAccessible::doAction(const QString& actionName) {
    if (actionName == pressAction())
        Button()->Press();
}

ShownChildrenAccessible::ShownChildrenAccessible(QWidget* widget, QAccessible::Role role)
    : QAccessibleWidget(widget, role) {}

QList<QWidget*> ShownChildrenAccessible::ShownChildren() const {
    QList<QWidget*> shown;
    for (QObject* object : widget()->children()) {
        auto* child = qobject_cast<QWidget*>(object);
        if (child && !child->isWindow() && !child->isHidden())
            shown.append(child);
    }
    return shown;
}

int ShownChildrenAccessible::childCount() const {
    return static_cast<int>(ShownChildren().size());
}

QAccessibleInterface* ShownChildrenAccessible::child(int index) const {
    const QList<QWidget*> shown = ShownChildren();
    if (index < 0 || index >= shown.size())
        return nullptr;
    return QAccessible::queryAccessibleInterface(shown.at(index));
}

int ShownChildrenAccessible::indexOfChild(const QAccessibleInterface* child) const {
    if (!child)
        return -1;
    return static_cast<int>(ShownChildren().indexOf(qobject_cast<QWidget*>(child->object())));
}

} // namespace LTF::GUI
