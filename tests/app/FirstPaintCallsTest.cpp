// Start-up work that waits for the window's first paint: it runs once, from the event loop, and
// also when the window is never painted.
#include "app/FirstPaintCalls.h"
#include "tests/app/WindowFixture.h"

#include <QElapsedTimer>

#include <chrono>

using namespace std::chrono_literals;

namespace {

TEST(FirstPaint, RunsOnceFromTheEventLoop) {
    const struct {
        const char* what;
        bool paintedBefore; // the page was painted before the call was added
        int paintsAfter;
        bool cleared;
        int runs;
        bool waitsForFallback;
    } cases[] = {
        {"painted later", false, 1, false, 1, false},
        {"painted twice", false, 2, false, 1, false},
        {"painted already", true, 0, false, 1, false},
        {"never painted", false, 0, false, 1, true},
        {"window gone first", false, 1, true, 0, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        FirstPaintCalls calls;
        if (c.paintedBefore)
            calls.Painted();
        int runs = 0;
        calls.Add([&] { ++runs; });
        for (int i = 0; i < c.paintsAfter; ++i)
            calls.Painted();
        if (c.cleared)
            calls.Clear();
        EXPECT_EQ(runs, 0) << "never from inside Add or Painted";

        QElapsedTimer clock;
        clock.start();
        AppTest::WindowFixture::WaitFor([&] { return runs > 0; }, 1s);
        AppTest::WindowFixture::WaitFor([] { return false; }, 50ms); // a second run shows now
        EXPECT_EQ(runs, c.runs);
        if (c.runs > 0) {
            EXPECT_EQ(clock.elapsed() >= FirstPaintCalls::kFallbackMs - 50, c.waitsForFallback)
                << clock.elapsed() << " ms";
        }
    }
}

} // namespace
