#include "platform/MediaPlayer.h"
#include "tests/platform/Scratch.h"
#include "tests/support/Wait.h"
#include "tests/support/WavWriter.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

using Vellmar::Platform::MediaPlayer;
using namespace std::chrono_literals;

using Vellmar::Testing::WaitUntil;
using Vellmar::Testing::WriteWav;

class MediaPlayerTest : public Vellmar::Testing::TempDirTest {
protected:
    std::chrono::nanoseconds Position() const {
        return player.StatusOf(L"myfile").position.value_or(-1ns);
    }

    MediaPlayer player{"fakesink sync=true"};
};

TEST_F(MediaPlayerTest, MusicPausesInPlaceResumesAndEndsOnce) {
    WriteWav(dir / "Music.wav", 1500ms);
    ASSERT_TRUE(player.Open(L"MyFile", dir.Wide() + L"\\MUSIC.WAV"));
    ASSERT_TRUE(player.Play(L"myfile"));
    ASSERT_TRUE(WaitUntil([&] { return Position() > 100ms; }));

    player.PauseAll();
    const auto paused = Position();
    std::this_thread::sleep_for(300ms);
    EXPECT_LT(std::chrono::abs(Position() - paused), 20ms) << "position held in pause";

    player.ResumeAll();
    EXPECT_TRUE(WaitUntil([&] { return Position() > paused + 100ms; }, 3s));
    ASSERT_TRUE(WaitUntil([&] { return player.StatusOf(L"myfile").endCount > 0; }));
    const auto end = Position();
    EXPECT_GT(end, 1400ms);

    // Muting and unmuting after the end neither restarts nor repeats it.
    player.PauseAll();
    player.ResumeAll();
    std::this_thread::sleep_for(400ms);
    EXPECT_EQ(player.StatusOf(L"myfile").endCount, 1);
    EXPECT_GE(Position(), end);
    EXPECT_FALSE(player.StatusOf(L"myfile").failed);

    player.CloseAll();
    EXPECT_FALSE(player.StatusOf(L"myfile").open);
}

TEST_F(MediaPlayerTest, FailuresStaySilent) {
    WriteFile(dir / "broken.wav", "RIFF0000WAVEjunkjunkjunk");
    EXPECT_FALSE(player.Open(L"myfile", dir.Wide() + L"/missing.mp3"));
    EXPECT_FALSE(player.Open(L"myfile", L""));
    EXPECT_FALSE(player.Play(L"myfile"));
    ASSERT_TRUE(player.Open(L"myfile", dir.Wide() + L"/broken.wav"));
    player.Play(L"myfile");
    EXPECT_TRUE(WaitUntil([&] { return player.StatusOf(L"myfile").failed; }));
    player.PauseAll();
    player.ResumeAll();
    player.PlaySound(dir.Wide() + L"/missing.wav");
    EXPECT_FALSE(player.SoundStatus().open);
}

TEST_F(MediaPlayerTest, NewerSoundReplacesOneStillPlaying) {
    WriteWav(dir / "long.wav", 3000ms);
    WriteWav(dir / "click.wav", 200ms);
    player.PlaySound(dir.Wide() + L"/long.wav");
    ASSERT_TRUE(WaitUntil([&] { return player.SoundStatus().position.value_or(0ns) > 50ms; }));
    player.PlaySound(dir.Wide() + L"/click.wav");
    EXPECT_TRUE(WaitUntil([&] { return player.SoundStatus().endCount == 1; }));
    EXPECT_LT(player.SoundStatus().position.value_or(1h), 300ms) << "the click, not the long one";
}

TEST_F(MediaPlayerTest, DestroyingWhilePlayingReturnsPromptly) {
    WriteWav(dir / "long.wav", 10000ms);
    const auto start = std::chrono::steady_clock::now();
    {
        MediaPlayer playing("fakesink sync=true");
        playing.Open(L"myfile", dir.Wide() + L"/long.wav");
        playing.Play(L"myfile");
        playing.PlaySound(dir.Wide() + L"/long.wav");
        std::this_thread::sleep_for(200ms);
    }
    EXPECT_LT(std::chrono::steady_clock::now() - start, 3s);
}

// Each test runs in a process of its own, so this is GStreamer's first start: preparing on
// several threads while the page opens its music must start it once and play normally.
TEST(MediaPlayerPrepare, RacesWithTheFirstOpenAndPlaysNormally) {
    TempDir dir;
    WriteWav(dir / "music.wav", 300ms);
    std::atomic<int> prepared{0};
    std::vector<std::thread> threads;
    for (int i = 0; i < 3; ++i)
        threads.emplace_back([&] { prepared += MediaPlayer::Prepare() ? 1 : 0; });
    MediaPlayer player("fakesink sync=true");
    const bool opened = player.Open(L"music", dir.Wide() + L"/music.wav");
    for (std::thread& thread : threads)
        thread.join();
    EXPECT_EQ(prepared.load(), 3);
    ASSERT_TRUE(opened);
    ASSERT_TRUE(player.Play(L"music"));
    EXPECT_TRUE(WaitUntil([&] { return player.StatusOf(L"music").endCount == 1; }));
    EXPECT_FALSE(player.StatusOf(L"music").failed);
    EXPECT_TRUE(MediaPlayer::Prepare()) << "again, once started";
}
