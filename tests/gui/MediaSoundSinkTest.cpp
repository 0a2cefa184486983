#include "ltf/gui/MediaSoundSink.h"
#include "platform/MediaPlayer.h"
#include "tests/support/WavWriter.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <thread>

using namespace std::chrono_literals;

namespace {

bool WaitFor(const std::function<bool()>& predicate) {
    const auto deadline = std::chrono::steady_clock::now() + 5s;
    while (!predicate()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(10ms);
    }
    return true;
}

TEST(MediaSoundSink, PlaysThroughThePlayerAndAnEmptyNameCutsNothingOff) {
    QTemporaryDir dir;
    const std::string file = dir.filePath("Long.wav").toStdString();
    Vellmar::Testing::WriteWav(file, 2000ms);
    Vellmar::Platform::MediaPlayer player("fakesink sync=true");
    LTF::GUI::MediaSoundSink sink(player);

    // Windows-style spelling, as configurations write it.
    sink.PlaySound(dir.path().toStdWString() + L"\\LONG.WAV");
    auto position = [&] { return player.SoundStatus().position.value_or(0ns); };
    ASSERT_TRUE(WaitFor([&] { return position() > 100ms; }));

    const auto before = position();
    sink.PlaySound(L"");
    EXPECT_TRUE(player.SoundStatus().open);
    EXPECT_TRUE(WaitFor([&] { return position() > before + 100ms; })) << "still the same sound";
}

} // namespace
