#include "tests/engine/EngineFixture.h"

#include <memory>

namespace {

struct Log {
    std::vector<NewsUpdateRequest> made;
    int started = 0;
    int destroyed = 0;
};

// Finishes "successfully" as soon as it starts, from a thread of its own as a real job would.
struct InstantJob : NewsUpdateJob {
    InstantJob(ActionEngine& engine, std::wstring xml, Log& log)
        : engine(engine), xml(std::move(xml)), log(log) {}
    ~InstantJob() override {
        if (worker.joinable())
            worker.join();
        ++log.destroyed;
    }
    void Start() override {
        ++log.started;
        worker = std::thread([this] {
            engine.PostToUiThread([&engine = engine, xml = xml] { engine.ExecuteActionXml(xml); });
        });
    }
    ActionEngine& engine;
    const std::wstring xml;
    Log& log;
    std::thread worker;
};

} // namespace

class NewsUpdateSeamTest : public EngineFixture {
protected:
    NewsUpdateSeamTest() {
        ActionEngine::SetNewsUpdateJobFactory([this](ActionEngine& target, NewsUpdateRequest r) {
            log.made.push_back(r);
            return std::make_unique<InstantJob>(target, r.successActionsXml, log);
        });
    }
    ~NewsUpdateSeamTest() override {
        engine.reset();
        ActionEngine::SetNewsUpdateJobFactory(nullptr);
    }
    Log log;
};

TEST_F(NewsUpdateSeamTest, JobsFromStartUpBeginAtItsEndLaterOnesAtOnce) {
    Start(L"<application><initialization><init action='condition' value='news'/>"
          L"</initialization></application>"
          L"<conditions><condition name='news' type='newsupdate' location='${EXE_DIR}/news' "
          L"URL='http://127.0.0.1/n.rar'><true action='page' value='fresh'/>"
          L"<false action='page' value='stale'/></condition></conditions>");
    ASSERT_EQ(log.made.size(), 1u);
    const NewsUpdateRequest& made = log.made[0];
    // The job expands its own addresses.
    EXPECT_EQ(std::tie(made.location, made.url, made.failureActionsXml, made.successActionsXml),
              std::make_tuple(L"${EXE_DIR}/news", L"http://127.0.0.1/n.rar",
                              L"<false action=\"page\" value=\"stale\"/>",
                              L"<true action=\"page\" value=\"fresh\"/>"));
    EXPECT_EQ(log.started, 1);

    Run(L"<action action='condition' value='news'/>");
    EXPECT_EQ(log.started, 2);
    EXPECT_EQ(engine->NewsUpdateJobCount(), 2u);
    while (Pages().size() < 2)
        host.DeliverPosted();
    EXPECT_EQ(Pages(), (Names{L"fresh", L"fresh"}));
    engine.reset();
    EXPECT_EQ(log.destroyed, 2);
}

TEST_F(NewsUpdateSeamTest, CloseDuringStartUpLeavesJobsUnstarted) {
    Start(L"<application><initialization><init action='condition' value='news'/>"
          L"<init action='system' value='close'/></initialization></application>"
          L"<conditions><condition name='news' type='newsupdate'/></conditions>");
    EXPECT_EQ(log.made.size(), 1u);
    EXPECT_EQ(log.started, 0);
}
