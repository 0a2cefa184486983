#include "SceneryPainter.h"

#include "LogoPainter.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <cmath>
#include <numbers>

namespace DemoArt {

namespace {

const QColor kGold(0xC9, 0xA5, 0x5A);
const QColor kPanel(8, 16, 30, 200);

qreal Uniform(std::mt19937& random, qreal low, qreal high) {
    return std::uniform_real_distribution<qreal>(low, high)(random);
}

} // namespace

QImage SceneryPainter::Page(int variant, bool withLogo) {
    QImage image(kPageWidth, kPageHeight, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    std::mt19937 random(1009u + unsigned(variant));

    const qreal horizon = 296;
    const QRectF page(0, 0, kPageWidth, kPageHeight);
    DrawSky(painter, page, horizon);
    DrawStars(painter, random, QRectF(0, 0, kPageWidth, horizon - 40));
    DrawMoon(painter, QPointF(478, 70), 15);
    DrawSea(painter, random, QRectF(0, horizon, kPageWidth, kPageHeight - horizon), 478);
    DrawLighthouse(painter, QPointF(372, horizon + 4), 200.0 - 14.0 * variant);

    DrawPanel(painter, QRectF(16, 120, 316, 248));
    DrawPanel(painter, QRectF(416, 116, 214, 266));
    if (withLogo)
        painter.drawImage(20, 16, LogoPainter::Draw(false));

    QFont small(QStringLiteral("DejaVu Sans"));
    small.setPixelSize(10);
    painter.setFont(small);
    painter.setPen(QColor(0x80, 0x90, 0xB0));
    painter.drawText(QRectF(18, 378, 200, 16), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("v1.0"));
    painter.end();
    return image;
}

QImage SceneryPainter::NewsCard(int number) {
    QImage image(kNewsWidth, kNewsHeight, QImage::Format_RGB32);
    image.fill(QColor(0x0A, 0x14, 0x24));
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    std::mt19937 random(77u + unsigned(number));

    const QRectF band(0, 0, kNewsWidth, 100);
    painter.save();
    painter.setClipRect(band);
    if (number == 1) {
        QLinearGradient sunset(0, 0, 0, 70);
        sunset.setColorAt(0, QColor(0x3A, 0x2A, 0x5E));
        sunset.setColorAt(0.6, QColor(0xD9, 0x6C, 0x4A));
        sunset.setColorAt(1, QColor(0xF6, 0xC0, 0x6B));
        painter.fillRect(QRectF(0, 0, kNewsWidth, 70), sunset);
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(255, 220, 150, 200));
        painter.drawEllipse(QPointF(96, 70), 22, 22);
        DrawSea(painter, random, QRectF(0, 70, kNewsWidth, 30), 96);
        DrawShip(painter, QPointF(206, 80));
    } else {
        DrawSky(painter, QRectF(0, 0, kNewsWidth, 100), 72);
        DrawStars(painter, random, QRectF(0, 0, kNewsWidth, 50));
        DrawSea(painter, random, QRectF(0, 72, kNewsWidth, 28), 150);
        DrawLanterns(painter, random, QRectF(10, 8, kNewsWidth - 20, 70));
    }
    painter.restore();

    // Ribbon behind the "News" label, divider, page counter beside the next button.
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(8, 16, 30, 210));
    painter.drawRoundedRect(QRectF(6, 6, 140, 26), 6, 6);
    painter.setPen(QPen(kGold, 1.5));
    painter.drawLine(QPointF(0, 100), QPointF(kNewsWidth, 100));
    QFont small(QStringLiteral("DejaVu Sans"));
    small.setPixelSize(11);
    painter.setFont(small);
    painter.setPen(QColor(0xA0, 0xB0, 0xC8));
    painter.drawText(QRectF(200, 200, 56, 26), Qt::AlignRight | Qt::AlignVCenter,
                     QStringLiteral("%1 / 2").arg(number));
    painter.end();
    return image;
}

void SceneryPainter::DrawSky(QPainter& painter, const QRectF& area, qreal horizon) {
    QLinearGradient sky(0, area.top(), 0, horizon);
    sky.setColorAt(0, QColor(0x05, 0x09, 0x18));
    sky.setColorAt(0.45, QColor(0x14, 0x22, 0x4A));
    sky.setColorAt(0.8, QColor(0x3A, 0x3F, 0x6E));
    sky.setColorAt(1, QColor(0x7A, 0x5A, 0x7E));
    painter.fillRect(QRectF(area.left(), area.top(), area.width(), horizon - area.top()), sky);
}

void SceneryPainter::DrawStars(QPainter& painter, std::mt19937& random, const QRectF& area) {
    painter.setPen(Qt::NoPen);
    const int count = int(area.width() * area.height() / 900);
    for (int i = 0; i < count; ++i) {
        const QPointF at(Uniform(random, area.left(), area.right()),
                         Uniform(random, area.top(), area.bottom()));
        const qreal depth = (at.y() - area.top()) / area.height();
        const int alpha = int(Uniform(random, 120, 255) * (1.0 - 0.7 * depth));
        const qreal size = Uniform(random, 0.5, 1.4);
        painter.setBrush(QColor(255, 248, 230, alpha));
        painter.drawEllipse(at, size, size);
        if (size > 1.3) {
            painter.setPen(QPen(QColor(255, 248, 230, alpha / 3), 0.8));
            painter.drawLine(at - QPointF(4, 0), at + QPointF(4, 0));
            painter.drawLine(at - QPointF(0, 4), at + QPointF(0, 4));
            painter.setPen(Qt::NoPen);
        }
    }
}

void SceneryPainter::DrawMoon(QPainter& painter, QPointF centre, qreal radius) {
    QRadialGradient glow(centre, radius * 4);
    glow.setColorAt(0, QColor(255, 240, 200, 90));
    glow.setColorAt(1, QColor(255, 240, 200, 0));
    painter.setPen(Qt::NoPen);
    painter.setBrush(glow);
    painter.drawEllipse(centre, radius * 4, radius * 4);
    painter.setBrush(QColor(0xF8, 0xEE, 0xD2));
    painter.drawEllipse(centre, radius, radius);
    painter.setBrush(QColor(0xE2, 0xD6, 0xB6));
    painter.drawEllipse(centre + QPointF(-4, 3), radius * 0.25, radius * 0.22);
    painter.drawEllipse(centre + QPointF(5, -5), radius * 0.18, radius * 0.16);
}

void SceneryPainter::DrawSea(QPainter& painter, std::mt19937& random, const QRectF& area,
                             qreal glintX) {
    QLinearGradient sea(0, area.top(), 0, area.bottom());
    sea.setColorAt(0, QColor(0x2A, 0x3A, 0x62));
    sea.setColorAt(0.3, QColor(0x15, 0x27, 0x48));
    sea.setColorAt(1, QColor(0x05, 0x0C, 0x18));
    painter.fillRect(area, sea);
    // Short wave crests, denser and brighter in the glint column.
    const int count = int(area.width() * area.height() / 60);
    for (int i = 0; i < count; ++i) {
        const qreal y = Uniform(random, area.top() + 2, area.bottom());
        const qreal near = (y - area.top()) / area.height();
        const qreal length = 4 + 14 * near * Uniform(random, 0.5, 1.0);
        qreal x = Uniform(random, area.left(), area.right());
        int alpha = int(25 + 35 * near);
        QColor colour(150, 180, 220);
        if (i % 3 == 0) {
            x = glintX + Uniform(random, -30, 30) * (0.3 + near);
            alpha = int(90 + 100 * (1 - near));
            colour = QColor(255, 232, 180);
        }
        colour.setAlpha(alpha);
        painter.setPen(QPen(colour, 1.0 + near));
        painter.drawLine(QPointF(x - length / 2, y), QPointF(x + length / 2, y));
    }
}

void SceneryPainter::DrawLighthouse(QPainter& painter, QPointF base, qreal beamAngle) {
    const QPointF lamp(base.x(), base.y() - 122);
    // The beam first, so the tower stands in front of it.
    const qreal spread = 7.0 * std::numbers::pi / 180;
    const qreal angle = beamAngle * std::numbers::pi / 180;
    const qreal reach = 420;
    QPolygonF beam{
        lamp, lamp + QPointF(std::cos(angle - spread) * reach, -std::sin(angle - spread) * reach),
        lamp + QPointF(std::cos(angle + spread) * reach, -std::sin(angle + spread) * reach)};
    QLinearGradient light(lamp, lamp + QPointF(std::cos(angle) * reach, -std::sin(angle) * reach));
    light.setColorAt(0, QColor(255, 236, 170, 120));
    light.setColorAt(1, QColor(255, 236, 170, 0));
    painter.setPen(Qt::NoPen);
    painter.setBrush(light);
    painter.drawPolygon(beam);

    // Rocks.
    painter.setBrush(QColor(0x0B, 0x10, 0x1C));
    painter.drawPolygon(QPolygonF{{base.x() - 60, base.y() + 6},
                                  {base.x() - 42, base.y() - 8},
                                  {base.x() - 20, base.y() - 12},
                                  {base.x() + 8, base.y() - 14},
                                  {base.x() + 30, base.y() - 6},
                                  {base.x() + 56, base.y() + 6}});
    // Tapered tower with darker bands.
    const qreal top = lamp.y() + 10;
    QPolygonF tower{{base.x() - 11, base.y() - 10},
                    {base.x() - 6, top},
                    {base.x() + 6, top},
                    {base.x() + 11, base.y() - 10}};
    painter.setBrush(QColor(0xC8, 0xC4, 0xBC));
    painter.drawPolygon(tower);
    painter.save();
    painter.setClipRegion(QRegion(tower.toPolygon()));
    painter.setBrush(QColor(0x8E, 0x2E, 0x2A));
    for (qreal y = top + 14; y < base.y() - 10; y += 30)
        painter.drawRect(QRectF(base.x() - 12, y, 24, 14));
    painter.restore();
    // Lantern room and roof.
    QRadialGradient glow(lamp, 26);
    glow.setColorAt(0, QColor(255, 240, 190, 200));
    glow.setColorAt(1, QColor(255, 240, 190, 0));
    painter.setBrush(glow);
    painter.drawEllipse(lamp, 26, 26);
    painter.setBrush(QColor(0xFF, 0xE9, 0xA8));
    painter.drawRect(QRectF(lamp.x() - 6, lamp.y() - 5, 12, 12));
    painter.setBrush(QColor(0x1A, 0x1E, 0x28));
    painter.drawPolygon(QPolygonF{
        {lamp.x() - 9, lamp.y() - 5}, {lamp.x(), lamp.y() - 15}, {lamp.x() + 9, lamp.y() - 5}});
    painter.drawRect(QRectF(lamp.x() - 9, lamp.y() + 7, 18, 3));
}

void SceneryPainter::DrawPanel(QPainter& painter, const QRectF& area) {
    painter.setPen(QPen(QColor(kGold.red(), kGold.green(), kGold.blue(), 170), 1.5));
    painter.setBrush(kPanel);
    painter.drawRoundedRect(area, 12, 12);
}

void SceneryPainter::DrawShip(QPainter& painter, QPointF waterline) {
    const qreal x = waterline.x(), y = waterline.y();
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0x1C, 0x12, 0x16));
    painter.drawPolygon(
        QPolygonF{{x - 34, y - 8}, {x + 36, y - 8}, {x + 26, y + 2}, {x - 28, y + 2}});
    painter.setPen(QPen(QColor(0x1C, 0x12, 0x16), 2));
    painter.drawLine(QPointF(x - 8, y - 8), QPointF(x - 8, y - 58));
    painter.drawLine(QPointF(x + 14, y - 8), QPointF(x + 14, y - 46));
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0xF2, 0xE2, 0xC4));
    painter.drawPolygon(QPolygonF{{x - 6, y - 56}, {x + 10, y - 14}, {x - 6, y - 14}});
    painter.drawPolygon(QPolygonF{{x - 10, y - 54}, {x - 30, y - 14}, {x - 10, y - 14}});
    painter.drawPolygon(QPolygonF{{x + 16, y - 44}, {x + 32, y - 14}, {x + 16, y - 14}});
}

void SceneryPainter::DrawLanterns(QPainter& painter, std::mt19937& random, const QRectF& area) {
    for (int i = 0; i < 14; ++i) {
        const QPointF at(Uniform(random, area.left(), area.right()),
                         Uniform(random, area.top(), area.bottom()));
        const qreal size = 3 + 5 * (at.y() - area.top()) / area.height();
        QRadialGradient glow(at, size * 3);
        glow.setColorAt(0, QColor(255, 180, 90, 150));
        glow.setColorAt(1, QColor(255, 180, 90, 0));
        painter.setPen(Qt::NoPen);
        painter.setBrush(glow);
        painter.drawEllipse(at, size * 3, size * 3);
        painter.setBrush(QColor(0xFF, 0xC8, 0x6E));
        painter.drawRoundedRect(QRectF(at.x() - size / 2, at.y() - size * 0.7, size, size * 1.4),
                                size / 3, size / 3);
    }
}

} // namespace DemoArt
