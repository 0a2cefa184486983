#pragma once

#include "ltf/gui/FxButtonModel.h"
#include "ltf/gui/FxDerived.h"

namespace LTF::GUI::FxRegions {

// Transparency and clipping regions of one state from its placed bitmap.
void Build(const FxButtonModel& model, FxDerived& derived, ButtonState state);

// Pushed, over and disabled regions equal to normal's become normal's (one shared copy).
void ShareWithNormal(FxDerived& derived);

} // namespace LTF::GUI::FxRegions
