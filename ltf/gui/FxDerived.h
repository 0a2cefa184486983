#pragma once

#include "ltf/gui/FxTypes.h"

#include <QImage>
#include <QRect>
#include <QRegion>

#include <array>
#include <optional>

namespace LTF::GUI {

// Drawing data that Prepare computes from the attributes; later stores leave it alone.
struct FxDerived {
    PerState<std::array<Colour, 4>> borderColours;
    PerState<QRect> placement;
    PerState<QRect> textRect;
    PerState<QRegion> transparencyRegion;
    PerState<QRegion> clippingRegion;
    PerState<bool> hasTransparencyRegion;
    PerState<bool> hasClippingRegion;
    std::optional<QImage> snapshot; // the page background under the button
    QRect glyph{0, 0, kGlyphSize, kGlyphSize};
    QRect focusRect;
    QRect client;
    int reserved = 0;
    bool prepared = false;
};

} // namespace LTF::GUI
