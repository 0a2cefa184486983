#include "ltf/gui/FxGeometry.h"
#include "ltf/gui/ColourRegion.h"

#include "GuiTestSupport.h"

#include <gtest/gtest.h>

#include <random>

using namespace LTF::GUI;
using GuiTest::C;

struct BorderCase {
    unsigned effect;
    std::array<Colour, 4> expected;
};

TEST(FxGeometry, BorderColoursFollowTheEffectTable) {
    // K = (100, 150, 201): halves, 0.7 and the 0.4 lightening all truncate.
    const Colour k = C(100, 150, 201);
    const Colour white = C(255, 255, 255);
    const BorderCase cases[] = {
        {kEffectFlat, {k, k, k, k}},
        {kEffectUp, {white, C(162, 192, 222), C(50, 75, 100), C(70, 105, 140)}},
        {kEffectDown, {C(50, 75, 100), C(70, 105, 140), white, C(162, 192, 222)}},
        {kUnsetMarker, {k, k, k, k}}, // unknown effects draw flat
        {0, {k, k, k, k}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FxGeometry::BorderColours(k, c.effect), c.expected) << c.effect;
}

struct PlacementCase {
    unsigned position;
    QPoint origin;
};

TEST(FxGeometry, PlacesA10x10BitmapOnA100x50ButtonWithBorder2) {
    // Area (3, 3)-(97, 47), centre (50, 25).
    const PlacementCase cases[] = {
        {0x20, {3, 3}},   {0x21, {45, 3}}, {0x22, {87, 3}},  {0x24, {3, 20}},  {0x25, {45, 20}},
        {0x26, {87, 20}}, {0x28, {3, 37}}, {0x29, {45, 37}}, {0x2A, {87, 37}}, {0x00, {0, 0}},
        {0x05, {0, 0}},   {0x30, {0, 0}},  {0x2C, {0, 0}},   {0x35, {0, 0}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FxGeometry::PlaceBitmap(c.position, QRect(0, 0, 100, 50), 2, QSize(10, 10)),
                  QRect(c.origin, QSize(10, 10)))
            << std::hex << c.position;
    }
}

TEST(FxGeometry, TextFormatFlagsMapToQtAlignment) {
    const std::pair<unsigned, int> cases[] = {
        {0x25, Qt::AlignHCenter | Qt::AlignVCenter | Qt::TextSingleLine},
        {0x24, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine},
        {0x2A, Qt::AlignRight | Qt::AlignBottom | Qt::TextSingleLine},
        {0x20, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine},
        {0x11, Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap},
        {0x04, Qt::AlignLeft | Qt::AlignTop}, // vertical centring needs single-line
    };
    for (const auto& [format, flags] : cases)
        EXPECT_EQ(FxGeometry::ToQtTextFlags(format), flags) << std::hex << format;
}

namespace {

const QColor kMagenta(255, 0, 255);
const QColor kGreen(0x66, 0xFF, 0x33);

// The slow definition: one rectangle per member pixel.
QRegion PixelByPixel(const QImage& image, QColor a, QColor b) {
    QRegion region;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor p = image.pixelColor(x, y);
            if (p != a && p != b)
                region += QRect(x, y, 1, 1);
        }
    }
    return region;
}

} // namespace

// Runs, bands and edges are in the pixel-by-pixel comparison below; a fill of both key colours
// and a colour one step off a key are what its palette misses.
TEST(ColourRegion, BothKeysAreTransparentAndANearKeyIsNot) {
    QImage image = GuiTest::Filled(16, 8, kGreen);
    image.setPixelColor(0, 0, kMagenta);
    EXPECT_TRUE(ColourToRegion(image, C(255, 0, 255), C(0x66, 0xFF, 0x33)).isEmpty());
    image.setPixelColor(5, 5, QColor(254, 0, 255));
    EXPECT_EQ(ColourToRegion(image, C(255, 0, 255), C(0x66, 0xFF, 0x33)), QRegion(5, 5, 1, 1));
}

TEST(ColourRegion, MatchesPixelByPixelDefinitionOnNoise) {
    std::mt19937 random(7);
    const QColor palette[] = {kMagenta, kGreen, Qt::red, Qt::black};
    for (const QSize size : {QSize(1, 1), QSize(37, 23), QSize(64, 3)}) {
        QImage image(size, QImage::Format_RGB32);
        for (int y = 0; y < size.height(); ++y) {
            for (int x = 0; x < size.width(); ++x)
                image.setPixelColor(x, y, palette[random() % 4]);
        }
        const QRegion fast = ColourToRegion(image, C(255, 0, 255), C(0x66, 0xFF, 0x33));
        EXPECT_TRUE(fast.xored(PixelByPixel(image, kMagenta, kGreen)).isEmpty())
            << size.width() << "x" << size.height();
        // Equal rows merge into bands: a filled image is one rectangle.
        image.fill(Qt::red);
        EXPECT_EQ(ColourToRegion(image, C(255, 0, 255), 0).rectCount(), 1);
    }
}
