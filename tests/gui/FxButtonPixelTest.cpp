#include "ltf/gui/CFxButton.h"
#include "ltf/gui/FxGeometry.h"

#include "GuiTestSupport.h"

#include <QMouseEvent>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

using namespace LTF::GUI;
using GuiTest::C;
using GuiTest::ColourNear;

namespace {

const QColor kMagenta(255, 0, 255);
const QPoint kButtonAt(10, 10);

class Page : public QWidget {
public:
    int presses = 0;

protected:
    void mousePressEvent(QMouseEvent*) override { ++presses; }
};

// A 20 x 20 red bitmap whose top-left quarter is magenta; centred on a 100 x 50 button it
// lies at (40, 15): magenta (40..49, 15..24), red elsewhere.
QImage QuarterMagenta() {
    QImage image = GuiTest::Filled(20, 20, Qt::red);
    QPainter(&image).fillRect(0, 0, 10, 10, kMagenta);
    return image;
}
const QPoint kMagentaPixel(45, 20);
const QPoint kRedPixel(55, 30);

class FxButtonPixelTest : public ::testing::Test {
protected:
    void SetUp() override {
        page.resize(200, 100);
        page.setAutoFillBackground(true);
        QPalette palette = page.palette();
        palette.setColor(QPalette::Window, Qt::green);
        page.setPalette(palette);
        button = new CFxButton(&page);
        button->setGeometry(QRect(kButtonAt, QSize(100, 50)));
    }

    // The image in every state, over the default appearance unless that is left out.
    void UseBitmap(const QImage& image, bool defaultAppearance = true) {
        if (defaultAppearance)
            button->ApplyDefaultAppearance(L"");
        const std::wstring file = files.Save("skin" + std::to_string(++saved) + ".bmp", image);
        button->Model().StoreBitmaps({file, L"", L"", L""}, true);
    }

    QColor Pixel(QPoint p) { return button->grab().toImage().pixelColor(p); }

    void ShowPage() {
        page.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&page));
        button->repaint(); // the window shape follows the paint
    }

    // Click through the window so that Qt's own hit-testing decides who gets it.
    bool ClickReachesButton(QPoint inButton) {
        QSignalSpy clicked(button, &QAbstractButton::clicked);
        const int pressesBefore = page.presses;
        QTest::mouseClick(page.windowHandle(), Qt::LeftButton, {}, kButtonAt + inButton);
        QCoreApplication::processEvents();
        EXPECT_NE(clicked.count() == 1, page.presses == pressesBefore + 1);
        return clicked.count() == 1;
    }

    Page page;
    CFxButton* button = nullptr;
    GuiTest::ImageFiles files;
    int saved = 0;
};

} // namespace

TEST_F(FxButtonPixelTest, MagentaIsNotDrawnAndClippingLetsClicksThrough) {
    UseBitmap(QuarterMagenta());
    button->Model().StoreTransparencyColour(1, PerState<Colour>(C(255, 0, 255)), false);
    button->Prepare(nullptr, 0, -1, 0);
    EXPECT_TRUE(ColourNear(Pixel(kMagentaPixel), Qt::black)); // the background fill shows
    EXPECT_TRUE(ColourNear(Pixel(kRedPixel), Qt::red));

    button->Model().StoreClippingColour1(PerState<Colour>(C(255, 0, 255)), false);
    button->Prepare(nullptr, 0, -1, 0);
    ShowPage();
    EXPECT_FALSE(button->mask().contains(kMagentaPixel));
    EXPECT_TRUE(button->mask().contains(kRedPixel));
    EXPECT_FALSE(ClickReachesButton(kMagentaPixel));
    EXPECT_TRUE(ClickReachesButton(kRedPixel));
}

// The shape is in place before the first paint, and follows the enabled state at once: a shape
// set while painting would make the page beneath paint again.
TEST_F(FxButtonPixelTest, ShapeIsSetBeforeAnyPaint) {
    button->ApplyDefaultAppearance(L"");
    const std::wstring quarter = files.Save("quarter.bmp", QuarterMagenta());
    const std::wstring red = files.Save("red.bmp", GuiTest::Filled(20, 20, Qt::red));
    button->Model().StoreBitmaps({quarter, L"", L"", red}, false);
    button->Model().StoreClippingColour1(PerState<Colour>(C(255, 0, 255)), false);
    button->Prepare(nullptr, 0, -1, 0); // the page is never shown: nothing paints
    EXPECT_FALSE(button->mask().contains(kMagentaPixel));
    EXPECT_TRUE(button->mask().contains(kRedPixel));
    button->setEnabled(false);
    EXPECT_TRUE(button->mask().contains(kMagentaPixel));
    button->setEnabled(true);
    EXPECT_FALSE(button->mask().contains(kMagentaPixel));
}

TEST_F(FxButtonPixelTest, InvertRegionCutsTheOpaquePixelsOut) {
    UseBitmap(QuarterMagenta());
    button->Model().StoreAll(&FxButtonModel::invertRegion, PerState<bool>(true), false);
    button->Model().StoreClippingColour1(PerState<Colour>(C(255, 0, 255)), false);
    button->Prepare(nullptr, 0, -1, 0);
    ShowPage();
    const QRegion shape = button->mask();
    EXPECT_TRUE(shape.contains(QPoint(0, 0)));
    EXPECT_TRUE(shape.contains(kMagentaPixel));
    EXPECT_FALSE(shape.contains(kRedPixel));
    EXPECT_TRUE(ClickReachesButton(kMagentaPixel));
    EXPECT_FALSE(ClickReachesButton(kRedPixel));
}

TEST_F(FxButtonPixelTest, ClippingFromAMissingTransparencyRegionIsEmpty) {
    UseBitmap(QuarterMagenta());
    // Same colour pair as the transparency, whose mode stays off.
    auto& model = button->Model();
    model.clippingColour1 = model.transparencyColour1;
    model.clippingColour2 = model.transparencyColour2;
    model.clippingMode = PerState<bool>(true);
    button->Prepare(nullptr, 0, -1, 0);
    EXPECT_TRUE(button->Derived().hasClippingRegion[ButtonState::Normal]);
    EXPECT_TRUE(button->Derived().clippingRegion[ButtonState::Normal].isEmpty());
    ShowPage();
    EXPECT_FALSE(ClickReachesButton(kRedPixel));
    EXPECT_FALSE(ClickReachesButton(QPoint(1, 1)));
}

TEST_F(FxButtonPixelTest, BottomRightPlacementAndEffectShift) {
    // Attach values: border size 2, up in normal, down in pushed.
    UseBitmap(GuiTest::Filled(10, 10, Qt::blue), false);
    button->Model().bitmapPosition = PerState<unsigned>(0x2A);
    button->Prepare(nullptr, 0, -1, 0);
    EXPECT_EQ(button->Derived().placement[ButtonState::Normal], QRect(87, 37, 10, 10));

    struct Case {
        bool down;
        QPoint topLeft;
    };
    for (const Case c : {Case{false, {86, 36}}, Case{true, {88, 38}}}) {
        button->setDown(c.down);
        EXPECT_TRUE(ColourNear(Pixel(c.topLeft), Qt::blue)) << c.down;
        EXPECT_TRUE(ColourNear(Pixel(c.topLeft + QPoint(9, 9)), Qt::blue)) << c.down;
        EXPECT_FALSE(ColourNear(Pixel(c.topLeft - QPoint(1, 1)), Qt::blue)) << c.down;
        EXPECT_FALSE(ColourNear(Pixel(c.topLeft + QPoint(10, 10)), Qt::blue)) << c.down;
    }
}

TEST_F(FxButtonPixelTest, ConstantAlphaBlendsHalf) {
    UseBitmap(GuiTest::Filled(20, 20, Qt::red));
    button->Model().StoreInt(&FxButtonModel::transparency, 255, PerState<int>(128), false);
    button->Prepare(nullptr, 0, -1, 0);
    EXPECT_TRUE(ColourNear(Pixel(kRedPixel), QColor(128, 0, 0), 2));
}

TEST_F(FxButtonPixelTest, DisabledSharedBitmapIsAnEtchedSilhouette) {
    UseBitmap(GuiTest::Filled(20, 20, Qt::red));
    button->Model().bkColour[ButtonState::Disabled] = C(100, 100, 100);
    button->Prepare(nullptr, 0, -1, 0);
    button->setEnabled(false);
    const QColor shadow(70, 70, 70);
    EXPECT_TRUE(ColourNear(Pixel({45, 20}), shadow));
    EXPECT_TRUE(ColourNear(Pixel({39, 14}), shadow)); // the shadow sits one pixel up-left
    EXPECT_TRUE(ColourNear(Pixel({59, 34}), Qt::white));
    EXPECT_TRUE(ColourNear(Pixel({59, 20}), Qt::white));
    EXPECT_TRUE(ColourNear(Pixel({60, 35}), QColor(100, 100, 100)));

    // With a bitmap of its own the disabled state shows that image.
    const std::wstring blue = files.Save("disabled.bmp", GuiTest::Filled(20, 20, Qt::blue));
    button->Model().StoreBitmaps({L"", L"", L"", blue}, false);
    button->Prepare(nullptr, 0, -1, 0);
    EXPECT_TRUE(ColourNear(Pixel({45, 20}), Qt::blue));
}

TEST_F(FxButtonPixelTest, FramesUseTheEffectColours) {
    const struct {
        const char* name;
        unsigned stored;
        bool duplicate;
        bool down;      // draw the pushed state
        unsigned drawn; // the effect whose colours appear
    } cases[] = {
        // The built-in pushed effect first: the later stores replace it.
        {"builtin", kUnsetMarker, false, true, kEffectDown},
        {"down", kEffectDown, false, false, kEffectDown},
        {"unknown left by duplicate draws flat", kUnsetMarker, true, true, kEffectFlat},
    };
    const Colour k = C(100, 150, 201);
    button->Model().bkColour = PerState<Colour>(k);
    const std::pair<QPoint, int> pixels[] = {
        {{0, 0}, 0},  {{50, 0}, 0}, {{0, 25}, 0},  {{1, 1}, 1},   {{50, 1}, 1},
        {{99, 0}, 2}, {{0, 49}, 2}, {{99, 49}, 2}, {{98, 48}, 3}, {{98, 2}, 3},
    };
    for (const auto& c : cases) {
        button->StoreBorderEffect(PerState<unsigned>(c.stored), c.duplicate);
        button->setDown(c.down);
        const auto colours = FxGeometry::BorderColours(k, c.drawn);
        const QImage image = button->grab().toImage();
        for (const auto& [at, which] : pixels) {
            EXPECT_TRUE(ColourNear(image.pixelColor(at), ToQColor(colours[which])))
                << c.name << " at " << at.x() << "," << at.y() << " colour " << which + 1;
        }
    }
}

// The snapshot of the page's bitmap moves with the effect (normal is up: one pixel up and
// left), and is black where that bitmap ends and under its transparent pixels.
TEST_F(FxButtonPixelTest, SnapshotOfThePageBackgroundShiftsAndIsBlackBeyondIt) {
    QImage gradient(200, 100, QImage::Format_RGB32);
    for (int y = 0; y < 100; ++y) {
        for (int x = 0; x < 200; ++x)
            gradient.setPixelColor(x, y, QColor(x, y, 0));
    }
    QImage halfRed(200, 100, QImage::Format_ARGB32);
    halfRed.fill(QColor(255, 0, 0, 128));
    const struct {
        const char* what;
        QImage art;
        QPoint probe; // in the button
        QColor expected;
    } cases[] = {
        {"shifted", gradient, {5, 5}, QColor(16, 16, 0)},
        {"inside a small bitmap", GuiTest::Filled(60, 40, Qt::blue), {20, 15}, Qt::blue},
        {"past its right edge", GuiTest::Filled(60, 40, Qt::blue), {80, 15}, Qt::black},
        {"past its bottom edge", GuiTest::Filled(60, 40, Qt::blue), {20, 40}, Qt::black},
        {"half transparent", halfRed, {20, 15}, QColor(128, 0, 0)},
    };
    button->Model().borderSize = PerState<int>(3); // wide enough that no frame covers (5, 5)
    button->Model().switches.border = false;
    for (const auto& c : cases) {
        const QPixmap background = QPixmap::fromImage(c.art);
        button->Prepare(&background, 0, -1, 0);
        EXPECT_TRUE(ColourNear(Pixel(c.probe), c.expected))
            << c.what << ": " << Pixel(c.probe).name().toStdString();
    }
    EXPECT_EQ(button->Model().bkColourMode, PerState<bool>(false));
}

TEST_F(FxButtonPixelTest, TextAndGlyphRectanglesFollowTheKind) {
    struct Case {
        std::uint32_t style;
        QRect text;
        QRect glyph;
    };
    const Case cases[] = {
        {0x0, QRect(0, 0, 100, 50), QRect(0, 0, 13, 13)},
        {0x3, QRect(19, 0, 81, 50), QRect(0, 19, 13, 13)},
        {0x23, QRect(4, 0, 96, 50), QRect(85, 18, 13, 13)},
    };
    for (const auto& c : cases) {
        button->Attach(c.style);
        button->Prepare(nullptr, 0, -1, 0);
        EXPECT_EQ(button->Derived().textRect[ButtonState::Over], c.text) << c.style;
        EXPECT_EQ(button->Derived().glyph, c.glyph) << c.style;
    }
}

TEST_F(FxButtonPixelTest, ResizingReplacesThePlacement) {
    UseBitmap(GuiTest::Filled(10, 10, Qt::blue));
    button->Prepare(nullptr, 0, -1, 0);
    ShowPage();
    button->MoveWindow(RECT{0, 0, 200, 50});
    QCoreApplication::processEvents();
    EXPECT_EQ(button->Derived().placement[ButtonState::Normal], QRect(95, 20, 10, 10));
    EXPECT_EQ(button->Derived().textRect[ButtonState::Normal], QRect(0, 0, 200, 50));
}
