#include "ButtonPainter.h"

#include "ColourKey.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

namespace DemoArt {

ButtonPainter::Scheme ButtonPainter::SchemeFor(Look look) {
    switch (look) {
    case Look::Over:
        return {QColor(0x2F, 0x77, 0xA0),
                QColor(0x1A, 0x48, 0x68),
                QColor(0xF3, 0xD9, 0x8E),
                QColor(255, 240, 200, 95),
                QColor(0xFF, 0xFF, 0xFF),
                80,
                0.0};
    case Look::Pushed:
        return {QColor(0x0E, 0x24, 0x36),
                QColor(0x1B, 0x47, 0x65),
                QColor(0xA8, 0x89, 0x3F),
                QColor(255, 230, 170, 40),
                QColor(0xE0, 0xC9, 0x8F),
                0,
                1.0};
    case Look::Disabled:
        return {QColor(0x3B, 0x40, 0x47),
                QColor(0x2A, 0x2E, 0x34),
                QColor(0x6C, 0x71, 0x78),
                QColor(255, 255, 255, 25),
                QColor(0x8A, 0x8F, 0x96),
                18,
                0.0};
    case Look::Normal:
        break;
    }
    return {QColor(0x24, 0x59, 0x7A),
            QColor(0x11, 0x30, 0x4A),
            QColor(0xC9, 0xA5, 0x5A),
            QColor(255, 230, 170, 60),
            QColor(0xF4, 0xEB, 0xD0),
            50,
            0.0};
}

void ButtonPainter::DrawSheen(QPainter& painter, const QRectF& area, qreal radius, int alpha) {
    if (alpha <= 0)
        return;
    QLinearGradient sheen(area.topLeft(), QPointF(area.left(), area.center().y()));
    sheen.setColorAt(0, QColor(255, 255, 255, alpha));
    sheen.setColorAt(1, QColor(255, 255, 255, 0));
    QRectF top = area;
    top.setBottom(area.center().y());
    painter.setPen(Qt::NoPen);
    painter.setBrush(sheen);
    painter.drawRoundedRect(top, radius, radius);
}

QImage ButtonPainter::Pill(QSize size, Look look, QColor matte) {
    const Scheme s = SchemeFor(look);
    QImage image = Canvas(size.width(), size.height());
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(s.shift, s.shift);

    const QRectF body(1.5, 1.5, size.width() - 3.0, size.height() - 3.0);
    const qreal radius = 11.0;
    QLinearGradient fill(0, 0, 0, size.height());
    fill.setColorAt(0, s.top);
    fill.setColorAt(1, s.bottom);
    painter.setPen(QPen(s.border, 2.0));
    painter.setBrush(fill);
    painter.drawRoundedRect(body, radius, radius);

    const QRectF inner = body.adjusted(3, 3, -3, -3);
    painter.setPen(QPen(s.innerLine, 1.0));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(inner, radius - 3, radius - 3);
    DrawSheen(painter, inner, radius - 3, s.sheenAlpha);

    painter.setPen(Qt::NoPen);
    painter.setBrush(s.border);
    const qreal cy = size.height() / 2.0;
    for (qreal cx : {14.0, size.width() - 14.0}) {
        const QPolygonF diamond{{cx, cy - 4}, {cx + 4, cy}, {cx, cy + 4}, {cx - 4, cy}};
        painter.drawPolygon(diamond);
    }
    painter.end();
    return KeyOut(image, matte);
}

QImage ButtonPainter::Round(int diameter, Look look, Glyph glyph, QColor matte) {
    const Scheme s = SchemeFor(look);
    QImage image = Canvas(diameter, diameter);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(s.shift, s.shift);

    const QRectF body(1.5, 1.5, diameter - 3.0, diameter - 3.0);
    QLinearGradient fill(0, 0, 0, diameter);
    fill.setColorAt(0, s.top);
    fill.setColorAt(1, s.bottom);
    painter.setPen(QPen(s.border, 1.8));
    painter.setBrush(fill);
    painter.drawEllipse(body);

    QPainterPath clip;
    clip.addEllipse(body.adjusted(2, 2, -2, -2));
    painter.save();
    painter.setClipPath(clip);
    DrawSheen(painter, body.adjusted(2, 2, -2, -2), diameter / 2.0, s.sheenAlpha);
    painter.restore();

    const qreal inset = diameter * 0.3;
    DrawGlyph(painter, body.adjusted(inset, inset, -inset, -inset), glyph, s.glyph);
    painter.end();
    return KeyOut(image, matte);
}

void ButtonPainter::DrawGlyph(QPainter& painter, const QRectF& box, Glyph glyph, QColor colour) {
    QPen pen(colour, 2.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    const qreal l = box.left(), t = box.top(), r = box.right(), b = box.bottom();
    const qreal cx = box.center().x(), cy = box.center().y();
    switch (glyph) {
    case Glyph::Close:
        painter.drawLine(QPointF(l, t), QPointF(r, b));
        painter.drawLine(QPointF(l, b), QPointF(r, t));
        break;
    case Glyph::Minimize:
        painter.drawLine(QPointF(l, b - 1), QPointF(r, b - 1));
        break;
    case Glyph::Next:
        painter.drawPolyline(QPolygonF{{cx - 2, t}, {cx + 3, cy}, {cx - 2, b}});
        break;
    case Glyph::SoundOn:
    case Glyph::SoundOff: {
        const qreal w = box.width();
        painter.setPen(Qt::NoPen);
        painter.setBrush(colour);
        painter.drawPolygon(QPolygonF{{l - 1, cy - w * 0.16},
                                      {l + w * 0.2, cy - w * 0.16},
                                      {l + w * 0.48, t},
                                      {l + w * 0.48, b},
                                      {l + w * 0.2, cy + w * 0.16},
                                      {l - 1, cy + w * 0.16}});
        pen.setWidthF(1.5);
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
        if (glyph == Glyph::SoundOn) {
            painter.drawArc(QRectF(cx - w * 0.2, cy - w * 0.3, w * 0.5, w * 0.6), -50 * 16,
                            100 * 16);
            painter.drawArc(QRectF(cx - w * 0.35, cy - w * 0.55, w * 0.95, w * 1.1), -45 * 16,
                            90 * 16);
        } else {
            painter.drawLine(QPointF(cx + w * 0.2, cy - w * 0.2), QPointF(r + 1, cy + w * 0.2));
            painter.drawLine(QPointF(cx + w * 0.2, cy + w * 0.2), QPointF(r + 1, cy - w * 0.2));
        }
        break;
    }
    }
}

} // namespace DemoArt
