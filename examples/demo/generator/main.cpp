// Draws every bitmap and synthesises every sound of the bundled demo into a data folder:
//   demo_art_generator <data folder>
#include "BmpWriter.h"
#include "ButtonPainter.h"
#include "ColourKey.h"
#include "LogoPainter.h"
#include "MusicSynth.h"
#include "SceneryPainter.h"
#include "WavWriter.h"

#include <QGuiApplication>

#include <cstdlib>
#include <exception>
#include <filesystem>
#include <iostream>

namespace fs = std::filesystem;
using namespace DemoArt;

namespace {

// Colours the keyed bitmaps sit on: the button panel, the night sky, the news card.
const QColor kPanelMatte(0x0C, 0x16, 0x2A);
const QColor kSkyMatte(0x08, 0x0E, 0x24);
const QColor kCardMatte(0x0A, 0x14, 0x24);

struct State {
    Look look;
    const char* name;
};
constexpr State kStates[] = {{Look::Normal, "normal"},
                             {Look::Over, "over"},
                             {Look::Pushed, "pushed"},
                             {Look::Disabled, "disabled"}};

void WriteButtons(const fs::path& art, const fs::path& news) {
    struct Icon {
        Glyph glyph;
        const char* name;
    };
    const Icon icons[] = {{Glyph::Close, "close"},
                          {Glyph::Minimize, "minimize"},
                          {Glyph::SoundOn, "sound"},
                          {Glyph::SoundOff, "muted"}};
    for (const State& state : kStates) {
        const std::string suffix = std::string("_") + state.name + ".bmp";
        WriteBmp24(ButtonPainter::Pill(QSize(190, 42), state.look, kPanelMatte),
                   art / ("button" + suffix));
        for (const Icon& icon : icons)
            WriteBmp24(ButtonPainter::Round(26, state.look, icon.glyph, kSkyMatte),
                       art / (icon.name + suffix));
        WriteBmp24(ButtonPainter::Round(28, state.look, Glyph::Next, kCardMatte),
                   news / ("next" + suffix));
    }
}

void WriteAll(const fs::path& data) {
    const fs::path art = data / "art";
    const fs::path news = data / "news_backup";
    const fs::path sounds = data / "sounds";
    const fs::path music = data / "music";
    for (const fs::path& dir : {art, news, sounds, music})
        fs::create_directories(dir);

    WriteBmp24(SceneryPainter::Page(0, false), art / "bg_main.bmp");
    WriteBmp24(SceneryPainter::Page(1, true), art / "bg_extras.bmp");
    WriteBmp24(SceneryPainter::Page(2, true), art / "bg_options.bmp");
    WriteBmp24(KeyOut(LogoPainter::Draw(false), kSkyMatte), art / "logo.bmp");
    WriteBmp24(KeyOut(LogoPainter::Draw(true), kSkyMatte), art / "logo_over.bmp");
    WriteButtons(art, news);
    WriteBmp24(SceneryPainter::NewsCard(1), news / "news_1.bmp");
    WriteBmp24(SceneryPainter::NewsCard(2), news / "news_2.bmp");

    WriteWav16(MusicSynth::Click(), 1, MusicSynth::kSampleRate, sounds / "click.wav");
    WriteWav16(MusicSynth::TitleTheme(), 1, MusicSynth::kSampleRate, music / "theme.wav");
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: demo_art_generator <data folder>\n";
        return 2;
    }
    // Text needs a GUI application, never a display.
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QGuiApplication app(argc, argv);
    try {
        WriteAll(argv[1]);
    } catch (const std::exception& error) {
        std::cerr << "demo_art_generator: " << error.what() << '\n';
        return 1;
    }
    return 0;
}
