#pragma once

#include <QColor>
#include <QImage>

namespace DemoArt {

// The transparency colour of every keyed bitmap of the demo.
inline const QColor kKeyColour(255, 0, 255);

// An image drawn with alpha becomes an opaque one with a key colour: pixels the drawing covers
// less than half are the key; the rest are composed over `matte` (the colour the bitmap will
// sit on), so antialiased edges fade into the page rather than into magenta.
QImage KeyOut(const QImage& drawing, QColor matte);

// A transparent canvas for drawing a keyed bitmap.
QImage Canvas(int width, int height);

} // namespace DemoArt
