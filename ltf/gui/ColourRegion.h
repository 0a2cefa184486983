#pragma once

#include "ltf/gui/FxTypes.h"

#include <QImage>
#include <QRegion>

namespace LTF::GUI {

// The pixels of `image` whose 24-bit colour is neither `a` nor `b`, as a region in the image's
// own coordinates. Each row's runs of member pixels become rectangles.
QRegion ColourToRegion(const QImage& image, Colour a, Colour b);

} // namespace LTF::GUI
