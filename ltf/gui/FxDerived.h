#pragma once

#include "ltf/gui/FxTypes.h"

#include <QPixmap>
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
    // The page background under the button as it was when prepared: the page's bitmap, shared
    // rather than copied, and the button's place on it.
    struct Snapshot {
        QPixmap page;
        QRect area;
    };
    std::optional<Snapshot> snapshot;
    QRect glyph{0, 0, kGlyphSize, kGlyphSize};
    QRect focusRect;
    QRect client;
    int reserved = 0;
    bool prepared = false;
};

} // namespace LTF::GUI
