#pragma once

#include <vector>

class QWidget;

namespace LTF::GUI {

// Groups of sibling controls, as a dialog template marks them: a control flagged as a group
// start opens a group that runs, in creation order, up to the next flagged control. Without
// any flag all children of a parent form one group.
void SetGroupStart(QWidget* control, bool start);
bool IsGroupStart(const QWidget* control);

// The other members of `control`'s group, in creation order.
std::vector<QWidget*> GroupSiblings(const QWidget* control);

} // namespace LTF::GUI
