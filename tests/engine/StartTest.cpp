#include "tests/engine/EngineFixture.h"

#include "tests/support/Wait.h"
#include "tests/support/WavWriter.h"

#include <chrono>
#include <thread>

using Vellmar::Testing::WaitUntil;
using namespace std::chrono_literals;

class StartTest : public EngineFixture {
protected:
    void StartRaw(const std::string& text) {
        dir.Write("data/autorun.xml", text);
        engine->Start(&host, dir.Wide("data/autorun.xml"));
    }
};

// Initialization elements run in order, then the pages are built and the default one shown,
// unless an element closes the launcher or fails.
TEST_F(StartTest, InitializationThenPagesThenDefaultPageUntilAnElementEndsIt) {
    const std::pair<const char*, Names> cases[] = {
        {"<init action='subpage' value='first'/><!-- ignored -->"
         "<other action='subpage' value='no'/><INIT action='subpage' value='second'/>",
         {L"ShowSubpage(first)", L"ShowSubpage(second)", L"ShowSubpage(last)", L"BuildPages()",
          L"ShowPage(main)"}},
        {"<init action='system' value='close'/>", {L"Quit()"}},
        {"<init action='subpage' value='x' delay='1x'/>", {L"BuildPages()", L"ShowPage(main)"}},
    };
    for (const auto& [init, calls] : cases) {
        engine = std::make_unique<ActionEngine>(context, false, media);
        host.Attach(*engine);
        host.calls.clear();
        StartRaw(std::string("<autorun><pages default='main'><page name='main'/></pages>"
                             "<application><initialization>") +
                 init +
                 "<init action='subpage' value='last'/></initialization></application>"
                 "</autorun>");
        EXPECT_EQ(host.calls, calls) << init;
    }
    EXPECT_EQ(host.builtPages[0], L"<pages default=\"main\"><page name=\"main\"/></pages>");
    EXPECT_FALSE(engine->IsLoadFailed());
}

TEST_F(StartTest, ThePageBuildMayStopTheEngine) {
    struct StoppingHost : Vellmar::Testing::StubHost {
        ActionEngine* target = nullptr;
        void BuildPages(const std::wstring& xml) override {
            StubHost::BuildPages(xml);
            target->Stop();
        }
    } stopping;
    stopping.target = engine.get();
    stopping.Attach(*engine);
    dir.Write("data/autorun.xml", "<autorun><pages default='main'/></autorun>");
    engine->Start(&stopping, dir.Wide("data/autorun.xml"));
    EXPECT_EQ(stopping.calls, (Names{L"BuildPages()"}));
}

TEST_F(StartTest, UnreadableConfigurationsAreShownAndMarked) {
    engine->Load(dir.Wide("data/missing.xml"));
    EXPECT_TRUE(engine->IsLoadFailed());
    dir.Write("data/malformed.xml", "<autorun>\n<pages></autorun>");
    engine->Load(dir.Wide("data/malformed.xml"));
    EXPECT_TRUE(engine->IsLoadFailed());
    ASSERT_EQ(boxes.shown.size(), 2u);
    EXPECT_EQ(boxes.shown[0], std::make_pair(std::wstring(L"Error"),
                                             L"Not found: " + dir.Wide("data/missing.xml")));
    EXPECT_EQ(boxes.shown[1].first, L"Error");
    EXPECT_TRUE(boxes.shown[1].second.starts_with(L"Parse: ")) << boxes.shown[1].second;
    EXPECT_NE(boxes.shown[1].second.find(L" at 2:"), std::wstring::npos) << "line and column";
    dir.Write("data/good.xml", "<autorun/>");
    engine->Load(dir.Wide("data/good.xml"));
    EXPECT_FALSE(engine->IsLoadFailed());
}

class MusicTest : public EngineFixture {
protected:
    // Writes Theme.wav and starts on pages whose music attribute is `music`.
    void StartWithMusic(std::chrono::milliseconds length, const std::wstring& music,
                        const std::wstring& before = L"") {
        Vellmar::Testing::WriteWav(dir / "Theme.wav", length);
        Start(before + L"<pages default='main' music='" + music + L"'/>");
    }
    Vellmar::Platform::MediaPlayer::Status Status() const { return media->StatusOf(L"myfile"); }
    std::chrono::nanoseconds Position() const { return Status().position.value_or(-1ns); }
    // The window's first paint, then the user-interface thread until the music has opened.
    bool PaintUntilOpen() {
        host.Paint();
        return WaitUntil([&] {
            host.DeliverPosted();
            return Status().open;
        });
    }
};

TEST_F(MusicTest, PagesMusicWaitsForThePaintPausesWithMuteAndClosesWithTheEngine) {
    StartWithMusic(1500ms, L"${EXE_DIR}/theme.WAV");
    EXPECT_EQ(engine->Music().File(), dir.Wide() + L"/theme.WAV");
    std::this_thread::sleep_for(200ms);
    host.DeliverPosted();
    EXPECT_FALSE(Status().open) << "nothing before the page is painted";

    Run(L"<action action='system' value='mute'/>");
    ASSERT_TRUE(PaintUntilOpen()) << "muted after the start: opened all the same";
    std::this_thread::sleep_for(300ms);
    EXPECT_LT(Position(), 100ms) << "and paused";
    Run(L"<action action='system' value='Mute'/>");
    ASSERT_TRUE(WaitUntil([&] { return Position() > 200ms; })) << "the unmute plays it";

    Run(L"<action action='system' value='mute'/>");
    const auto paused = Position();
    std::this_thread::sleep_for(300ms);
    EXPECT_LT(std::chrono::abs(Position() - paused), 20ms) << "a mute pauses it in place";
    Run(L"<action action='system' value='mute'/>");
    ASSERT_TRUE(WaitUntil([&] { return Status().endCount > 0; }));
    std::this_thread::sleep_for(200ms);
    EXPECT_EQ(Status().endCount, 1) << "played once, not repeated";

    engine.reset();
    EXPECT_FALSE(Status().open);
}

TEST_F(MusicTest, MutedInTheInitializationNothingWaitsForThePaintOrPlays) {
    StartWithMusic(300ms, dir.Wide("Theme.wav"),
                   L"<application><initialization><init action='system' value='mute'/>"
                   L"</initialization></application>");
    EXPECT_EQ(engine->Music().File(), dir.Wide("Theme.wav"));
    host.Paint();
    std::this_thread::sleep_for(200ms);
    host.DeliverPosted();
    engine->Music().Play(dir.Wide("Theme.wav"));
    EXPECT_FALSE(Status().open);
}

TEST_F(MusicTest, ASecondaryEngineLeavesTheMediaAlone) {
    StartWithMusic(2000ms, dir.Wide("Theme.wav"));
    ASSERT_TRUE(PaintUntilOpen());
    {
        ActionEngine secondary(context, true, media);
        secondary.ExecuteActionXml(L"<action action='setmutex' value='inner'/>");
    }
    EXPECT_TRUE(Status().open);
    EXPECT_FALSE(NamedMutex(L"inner").IsCreated()) << "the name stays taken";
}
