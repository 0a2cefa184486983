#include "tests/engine/EngineFixture.h"

#include <stdexcept>
#include <thread>

class PostedCallTest : public EngineFixture {};

TEST_F(PostedCallTest, CallsFromFourThreadsRunOnceInPostingOrderPerThread) {
    Start(L"");
    constexpr int kThreads = 4;
    constexpr int kCalls = 2000;
    std::vector<std::vector<int>> seen(kThreads); // touched only on this thread, as is `delivered`
    int delivered = 0;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back([&, t] {
            for (int i = 0; i < kCalls; ++i)
                engine->PostToUiThread([&seen, &delivered, t, i] {
                    seen[t].push_back(i);
                    ++delivered;
                });
        });
    // Deliver while the workers are still posting, as the event loop would.
    while (delivered < kThreads * kCalls) {
        host.DeliverPosted();
        std::this_thread::yield();
    }
    for (auto& thread : threads)
        thread.join();
    host.DeliverPosted();
    for (int t = 0; t < kThreads; ++t) {
        ASSERT_EQ(seen[t].size(), static_cast<std::size_t>(kCalls));
        for (int i = 0; i < kCalls; ++i)
            ASSERT_EQ(seen[t][i], i) << "thread " << t;
    }
}

TEST_F(PostedCallTest, AFailingCallKeepsNoOtherFromRunningWithoutAWindowCallsAreDropped) {
    int ran = 0;
    engine->PostToUiThread([&] { ran += 100; }); // before Start: no host yet
    Start(L"");
    host.hasWindow = false;
    engine->PostToUiThread([&] { ran += 100; });
    host.hasWindow = true;
    EXPECT_EQ(host.postedAnnouncements, 0);
    engine->PostToUiThread([&] { ++ran; });
    engine->PostToUiThread([] { throw std::runtime_error("lost"); });
    engine->PostToUiThread([&] { ++ran; });
    engine->PostToUiThread([&] { engine->ExecuteActionXml(L"<action action='page' value='P'/>"); });
    host.DeliverPosted();
    EXPECT_EQ(ran, 2);
    EXPECT_EQ(Pages(), (Names{L"P"}));
    const int announced = host.postedAnnouncements;
    engine->DetachHost();
    engine->PostToUiThread([&] { ran += 100; });
    engine->ProcessPostedCalls();
    EXPECT_EQ(ran, 2);
    EXPECT_EQ(host.postedAnnouncements, announced);
}
