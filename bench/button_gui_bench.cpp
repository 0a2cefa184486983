// Colour-to-region of a full-screen skin and one full paint of a typical button.
#include "ltf/gui/CFxButton.h"
#include "ltf/gui/ColourRegion.h"

#include <QApplication>
#include <QPainter>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdlib>

using namespace LTF::GUI;

namespace {

// A shaped skin: an opaque ellipse with a hole on a magenta background.
QImage ShapedSkin(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(QColor(255, 0, 255));
    QPainter painter(&image);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(40, 90, 160));
    painter.drawEllipse(image.rect().adjusted(4, 4, -4, -4));
    painter.setBrush(QColor(255, 0, 255));
    painter.drawEllipse(image.rect().center(), width / 8, height / 8);
    return image;
}

void ColourToRegion1024x768(benchmark::State& state) {
    const QImage skin = ShapedSkin(1024, 768);
    for (auto _ : state) {
        QRegion region =
            ColourToRegion(skin, MakeColour(255, 0, 255), MakeColour(0x66, 0xFF, 0x33));
        benchmark::DoNotOptimize(region);
    }
}
BENCHMARK(ColourToRegion1024x768)->Unit(benchmark::kMillisecond);

void FullPaint300x80(benchmark::State& state) {
    QTemporaryDir dir;
    const QString file = dir.filePath("skin.bmp");
    ShapedSkin(280, 70).save(file);
    QWidget page;
    CFxButton button(&page);
    button.setGeometry(0, 0, 300, 80);
    button.ApplyDefaultAppearance(L"");
    FxButtonModel& model = button.Model();
    model.StoreBitmaps({file.toStdWString(), L"", L"", L""}, true);
    model.StoreTransparencyColour(1, PerState<Colour>(MakeColour(255, 0, 255)), false);
    model.StoreText(PerState<std::wstring>(L"Install the game"), false);
    model.borderSize = PerState<int>(2);
    button.Prepare(nullptr, 0, -1, 0);
    QImage target(300, 80, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        QPainter painter(&target);
        button.DrawItem(painter, ButtonState::Normal, false);
    }
}
BENCHMARK(FullPaint300x80)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
