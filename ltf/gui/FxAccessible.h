#pragma once

#include <QAccessibleWidget>

class QWidget;

namespace LTF::GUI {

class CFxButton;

// A skinned button as assistive technology sees it: what the player sees (caption, else tooltip)
// as its name, the tooltip as description, the check state of check boxes and radio buttons,
// and a press action.
class FxButtonAccessible : public QAccessibleWidget {
public:
    explicit FxButtonAccessible(CFxButton* button);

    QString text(QAccessible::Text t) const override;
    QAccessible::Role role() const override;
    QAccessible::State state() const override;
    QStringList actionNames() const override;
    void doAction(const QString& actionName) override;

private:
    CFxButton* Button() const;
};

// A container that exposes only the child widgets shown in it: pages and button slots the
// player cannot see stay out of the tree.
class ShownChildrenAccessible : public QAccessibleWidget {
public:
    ShownChildrenAccessible(QWidget* widget, QAccessible::Role role);

    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;

private:
    QList<QWidget*> ShownChildren() const;
};

} // namespace LTF::GUI
