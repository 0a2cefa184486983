#pragma once

#include "ltf/gui/FxTypes.h"

#include <QPoint>
#include <QRect>

#include <array>

namespace LTF::GUI {

// Pure drawing geometry: border colours, bitmap placement, text format flags.
namespace FxGeometry {

// Outer top-left, inner top-left, outer bottom-right, inner bottom-right. An effect other than
// up or down is drawn flat.
std::array<Colour, 4> BorderColours(Colour base, unsigned effect);

// (-1, -1) for up, (+1, +1) for down, none otherwise.
QPoint EffectShift(unsigned effect);

// Where a bitmap of `size` lies for the alignment flags; (0, 0) for values that name no
// single-line position.
QRect PlaceBitmap(unsigned position, const QRect& client, int largestBorder, const QSize& size);

// Qt alignment and text flags for a text-drawing format.
int ToQtTextFlags(unsigned format);

inline int RightOf(const QRect& r) {
    return r.x() + r.width();
}
inline int BottomOf(const QRect& r) {
    return r.y() + r.height();
}

} // namespace FxGeometry
} // namespace LTF::GUI
