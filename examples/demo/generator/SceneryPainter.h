#pragma once

#include <QImage>
#include <QRectF>

#include <random>

class QPainter;

namespace DemoArt {

// Page backgrounds: a dusk sea with a lighthouse, framed panels for the page content, and the
// two illustrated cards of the news area.
class SceneryPainter {
public:
    static constexpr int kPageWidth = 640;
    static constexpr int kPageHeight = 400;
    static constexpr int kNewsWidth = 300;
    static constexpr int kNewsHeight = 232;

    // `variant` turns the lighthouse beam and reseeds the stars, so pages differ a little.
    // `withLogo` paints the title logo where the main page has its logo link.
    static QImage Page(int variant, bool withLogo);
    // News card 1 (a ship at sunset) or 2 (lanterns over the water).
    static QImage NewsCard(int number);

private:
    static void DrawSky(QPainter& painter, const QRectF& area, qreal horizon);
    static void DrawStars(QPainter& painter, std::mt19937& random, const QRectF& area);
    static void DrawMoon(QPainter& painter, QPointF centre, qreal radius);
    static void DrawSea(QPainter& painter, std::mt19937& random, const QRectF& area, qreal glintX);
    static void DrawLighthouse(QPainter& painter, QPointF base, qreal beamAngle);
    static void DrawPanel(QPainter& painter, const QRectF& area);
    static void DrawShip(QPainter& painter, QPointF waterline);
    static void DrawLanterns(QPainter& painter, std::mt19937& random, const QRectF& area);
};

} // namespace DemoArt
