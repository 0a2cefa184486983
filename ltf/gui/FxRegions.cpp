#include "ltf/gui/FxRegions.h"

#include "ltf/gui/ColourRegion.h"

namespace LTF::GUI::FxRegions {

namespace {

bool SameColours(Colour a1, Colour a2, Colour b1, Colour b2) {
    return (a1 == b1 && a2 == b2) || (a1 == b2 && a2 == b1);
}

} // namespace

void Build(const FxButtonModel& model, FxDerived& derived, ButtonState state) {
    const BitmapPtr& bitmap = model.bitmap[state];
    const QRect placement = derived.placement[state];
    if (!bitmap || placement.isEmpty())
        return;
    // Nearest-neighbour scaling keeps the key colours exact.
    const QImage scratch =
        placement.size() == bitmap->size()
            ? *bitmap
            : bitmap->scaled(placement.size(), Qt::IgnoreAspectRatio, Qt::FastTransformation);
    const QPoint offset = placement.topLeft();

    if (model.transparencyMode[state]) {
        derived.transparencyRegion[state] =
            ColourToRegion(scratch, model.transparencyColour1[state],
                           model.transparencyColour2[state])
                .translated(offset);
        derived.hasTransparencyRegion[state] = true;
    }
    if (!model.clippingMode[state])
        return;
    const Colour c1 = model.clippingColour1[state];
    const Colour c2 = model.clippingColour2[state];
    QRegion clipping;
    if (model.invertRegion[state]) {
        clipping = ColourToRegion(scratch, c1, c2).translated(offset).xored(derived.client);
    } else if (SameColours(c1, c2, model.transparencyColour1[state],
                           model.transparencyColour2[state])) {
        // Without transparency mode there is no region to copy: the shape is empty.
        clipping = model.transparencyMode[state] ? derived.transparencyRegion[state] : QRegion();
    } else {
        clipping = ColourToRegion(scratch, c1, c2).translated(offset);
    }
    derived.clippingRegion[state] = clipping;
    derived.hasClippingRegion[state] = true;
}

void ShareWithNormal(FxDerived& derived) {
    const int normal = IndexOf(ButtonState::Normal);
    for (int i = 1; i < 4; ++i) {
        if (derived.hasTransparencyRegion[normal] && derived.hasTransparencyRegion[i] &&
            derived.transparencyRegion[i] == derived.transparencyRegion[normal])
            derived.transparencyRegion[i] = derived.transparencyRegion[normal];
        if (derived.hasClippingRegion[normal] && derived.hasClippingRegion[i] &&
            derived.clippingRegion[i] == derived.clippingRegion[normal])
            derived.clippingRegion[i] = derived.clippingRegion[normal];
    }
}

} // namespace LTF::GUI::FxRegions
