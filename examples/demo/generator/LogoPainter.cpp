#include "LogoPainter.h"

#include "ColourKey.h"

#include <QFont>
#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <cmath>
#include <numbers>

namespace DemoArt {

namespace {

void DrawMedallion(QPainter& painter, QPointF centre, qreal radius, bool lit) {
    QRadialGradient disc(centre, radius);
    disc.setColorAt(0, lit ? QColor(0x3A, 0x6E, 0x98) : QColor(0x23, 0x4C, 0x72));
    disc.setColorAt(1, QColor(0x0C, 0x1A, 0x30));
    painter.setPen(QPen(QColor(0xC9, 0xA5, 0x5A), 3));
    painter.setBrush(disc);
    painter.drawEllipse(centre, radius, radius);

    // Eight-pointed compass star.
    QPolygonF star;
    for (int i = 0; i < 16; ++i) {
        const qreal angle = i * std::numbers::pi / 8 - std::numbers::pi / 2;
        const qreal r = (i % 2 == 0) ? radius * (i % 4 == 0 ? 0.82 : 0.55) : radius * 0.2;
        star << centre + QPointF(std::cos(angle) * r, std::sin(angle) * r);
    }
    painter.setPen(QPen(QColor(0x7A, 0x5A, 0x20), 1));
    painter.setBrush(lit ? QColor(0xFF, 0xE3, 0x9A) : QColor(0xE9, 0xC4, 0x6A));
    painter.drawPolygon(star);

    // The lantern flame at the heart.
    QRadialGradient flame(centre, radius * 0.3);
    flame.setColorAt(0, QColor(255, 250, 220));
    flame.setColorAt(0.6, QColor(255, 190, 80));
    flame.setColorAt(1, QColor(255, 140, 40, 0));
    painter.setPen(Qt::NoPen);
    painter.setBrush(flame);
    painter.drawEllipse(centre, radius * 0.3, radius * 0.3);
}

QPainterPath TextPath(const QString& text, const QFont& font, QPointF baseline) {
    QPainterPath path;
    path.addText(baseline, font, text);
    return path;
}

} // namespace

QImage LogoPainter::Draw(bool lit) {
    QImage image = Canvas(kWidth, kHeight);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);

    DrawMedallion(painter, QPointF(48, 50), 40, lit);

    QFont title(QStringLiteral("DejaVu Serif"));
    title.setBold(true);
    title.setLetterSpacing(QFont::AbsoluteSpacing, 1.0);
    // The largest size at which the name fits beside the medallion, whatever the font's metrics.
    const QString text = QStringLiteral("LUMEN REACH");
    for (int size = 44; size > 12; --size) {
        title.setPixelSize(size);
        if (QFontMetricsF(title).horizontalAdvance(text) <= kWidth - 112)
            break;
    }
    const QPainterPath name = TextPath(text, title, QPointF(102, 58));
    painter.setPen(QPen(QColor(0x1A, 0x10, 0x04), 4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(name);
    QLinearGradient gold(0, 20, 0, 60);
    gold.setColorAt(0, lit ? QColor(255, 252, 235) : QColor(0xFF, 0xF1, 0xC1));
    gold.setColorAt(0.55, lit ? QColor(0xFF, 0xDB, 0x7A) : QColor(0xE9, 0xC4, 0x6A));
    gold.setColorAt(1, lit ? QColor(0xD8, 0x9E, 0x3A) : QColor(0xA8, 0x74, 0x28));
    painter.setPen(Qt::NoPen);
    painter.setBrush(gold);
    painter.drawPath(name);

    // Ornament and subtitle.
    const QColor trim = lit ? QColor(0xF3, 0xD9, 0x8E) : QColor(0xC9, 0xA5, 0x5A);
    painter.setPen(QPen(trim, 1.5));
    painter.drawLine(QPointF(104, 70), QPointF(212, 70));
    painter.drawLine(QPointF(276, 70), QPointF(384, 70));
    painter.setPen(Qt::NoPen);
    painter.setBrush(trim);
    painter.drawPolygon(QPolygonF{{244, 65}, {250, 70}, {244, 75}, {238, 70}});
    QFont subtitle(QStringLiteral("DejaVu Sans"));
    subtitle.setPixelSize(12);
    subtitle.setLetterSpacing(QFont::AbsoluteSpacing, 3);
    painter.setPen(trim);
    painter.setFont(subtitle);
    painter.drawText(QRectF(100, 76, 290, 18), Qt::AlignCenter,
                     QStringLiteral("THE LANTERN ISLES"));
    painter.end();
    return image;
}

} // namespace DemoArt
