#include "ltf/gui/DialogGroup.h"

#include <QVariant>
#include <QWidget>

#include <algorithm>

namespace LTF::GUI {

namespace {

constexpr const char* kGroupStart = "vellmarGroupStart";

std::vector<QWidget*> ChildControls(const QWidget* parent) {
    std::vector<QWidget*> controls;
    for (QObject* child : parent->children()) {
        if (auto* widget = qobject_cast<QWidget*>(child); widget && !widget->isWindow())
            controls.push_back(widget);
    }
    return controls;
}

} // namespace

void SetGroupStart(QWidget* control, bool start) {
    control->setProperty(kGroupStart, start);
}

bool IsGroupStart(const QWidget* control) {
    return control->property(kGroupStart).toBool();
}

std::vector<QWidget*> GroupSiblings(const QWidget* control) {
    const QWidget* parent = control->parentWidget();
    if (!parent)
        return {};
    const std::vector<QWidget*> controls = ChildControls(parent);
    const auto self = std::find(controls.begin(), controls.end(), control);
    if (self == controls.end())
        return {};
    auto first = self;
    while (first != controls.begin() && !IsGroupStart(*first))
        --first;
    auto last = self + 1;
    while (last != controls.end() && !IsGroupStart(*last))
        ++last;
    std::vector<QWidget*> siblings;
    for (auto it = first; it != last; ++it) {
        if (it != self)
            siblings.push_back(*it);
    }
    return siblings;
}

} // namespace LTF::GUI
