#include "ltf/gui/MediaSoundSink.h"
#include "platform/MediaPlayer.h"
#include "tests/support/Wait.h"
#include "tests/support/WavWriter.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <chrono>

using namespace std::chrono_literals;

namespace {

using Vellmar::Testing::WaitUntil;

TEST(MediaSoundSink, PlaysThroughThePlayerAndAnEmptyNameCutsNothingOff) {
    QTemporaryDir dir;
    const std::string file = dir.filePath("Long.wav").toStdString();
    Vellmar::Testing::WriteWav(file, 2000ms);
    Vellmar::Platform::MediaPlayer player("fakesink sync=true");
    LTF::GUI::MediaSoundSink sink(player);

    // Windows-style spelling, as configurations write it.
    sink.PlaySound(dir.path().toStdWString() + L"\\LONG.WAV");
    auto position = [&] { return player.SoundStatus().position.value_or(0ns); };
    ASSERT_TRUE(WaitUntil([&] { return position() > 100ms; }));

    const auto before = position();
    sink.PlaySound(L"");
    EXPECT_TRUE(player.SoundStatus().open);
    EXPECT_TRUE(WaitUntil([&] { return position() > before + 100ms; })) << "still the same sound";
}

} // namespace
