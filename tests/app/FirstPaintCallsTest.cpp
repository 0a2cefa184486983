// Start-up work that waits for the window's first paint: it runs once, from the event loop, and
// also when the window is never painted.
#include "app/FirstPaintCalls.h"
#include "tests/app/WindowFixture.h"

#include <QElapsedTimer>

#include <chrono>
#include <ostream>

using namespace std::chrono_literals;

namespace {

struct Case {
    const char* what;
    bool paintedBefore; // the page was painted before the call was added
    int paintsAfter;
    bool cleared;
    int runs;
    bool waitsForFallback;
};

void PrintTo(const Case& c, std::ostream* out) {
    *out << c.what;
}

class FirstPaint : public testing::TestWithParam<Case> {};

TEST_P(FirstPaint, RunsOnceFromTheEventLoop) {
    const Case c = GetParam();
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
    AppTest::WindowFixture::WaitFor([] { return false; }, 50ms); // a second run would show now
    EXPECT_EQ(runs, c.runs);
    if (c.runs > 0) {
        EXPECT_EQ(clock.elapsed() >= FirstPaintCalls::kFallbackMs - 50, c.waitsForFallback)
            << clock.elapsed() << " ms";
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, FirstPaint,
                         testing::Values(Case{"painted later", false, 1, false, 1, false},
                                         Case{"painted twice", false, 2, false, 1, false},
                                         Case{"painted already", true, 0, false, 1, false},
                                         Case{"never painted", false, 0, false, 1, true},
                                         Case{"window gone first", false, 1, true, 0, false}),
                         [](const testing::TestParamInfo<Case>& info) {
                             std::string name = info.param.what;
                             for (char& ch : name)
                                 if (ch == ' ')
                                     ch = '_';
                             return name;
                         });

} // namespace
