#pragma once

#include <QColor>
#include <QImage>
#include <QSize>

class QPainter;
class QRectF;

namespace DemoArt {

// The four looks every skinned button of the demo has.
enum class Look { Normal, Over, Pushed, Disabled };

enum class Glyph { Close, Minimize, SoundOn, SoundOff, Next };

// Keyed button bitmaps: the shape on the key colour, no text (the launcher draws the
// translated caption on top).
class ButtonPainter {
public:
    // A rounded tablet with a gold frame and small diamonds at both ends.
    static QImage Pill(QSize size, Look look, QColor matte);
    // A round icon button.
    static QImage Round(int diameter, Look look, Glyph glyph, QColor matte);

private:
    struct Scheme {
        QColor top, bottom, border, innerLine, glyph;
        int sheenAlpha;
        qreal shift; // pushed art moves down and right
    };
    static Scheme SchemeFor(Look look);
    static void DrawSheen(QPainter& painter, const QRectF& area, qreal radius, int alpha);
    static void DrawGlyph(QPainter& painter, const QRectF& box, Glyph glyph, QColor colour);
};

} // namespace DemoArt
