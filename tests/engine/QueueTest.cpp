#include "tests/engine/EngineFixture.h"

namespace {

std::wstring Page(const std::wstring& name) {
    return L"<action action='page' value='" + name + L"'/>";
}

std::wstring Queue(const std::wstring& name, const std::wstring& children) {
    return L"<actionqueue name='" + name + L"'>" + children + L"</actionqueue>";
}

std::wstring Call(const std::wstring& queue) {
    return L"<action action='actionqueue' value='" + queue + L"'/>";
}

std::wstring Queues(const std::wstring& queues) {
    return L"<actionqueues>" + queues + L"</actionqueues>";
}

// A condition "again" whose false branch runs `action`.
std::wstring Again(const std::wstring& action) {
    return L"<conditions><condition name='again' type='commandline' value=''><false action='" +
           action + L"/></condition></conditions>";
}

} // namespace

class QueueTest : public EngineFixture {};

TEST_F(QueueTest, DelayRunsTheRestWhenItsTimerFiresForEachRunApart) {
    Start(Queues(Queue(L"q", Page(L"A") + L"<delay value='1000'/>" + Page(L"B"))));
    Run(Call(L"q"));
    EXPECT_TRUE(engine->IsDelayPending());
    host.Advance(400);
    Run(Call(L"q"));
    EXPECT_EQ(engine->PendingDelayCount(), 2u);
    host.Advance(599);
    EXPECT_EQ(Pages(), (Names{L"A", L"A"}));
    host.Advance(1);
    EXPECT_EQ(Pages(), (Names{L"A", L"A", L"B"}));
    host.Advance(400);
    EXPECT_EQ(Pages(), (Names{L"A", L"A", L"B", L"B"}));
    EXPECT_EQ(engine->PendingDelayCount(), 0u);
}

TEST_F(QueueTest, DelayInNestedQueueEndsTheCallerForGood) {
    Start(Queues(Queue(L"x", Page(L"X1") + Call(L"y") + Page(L"X2")) +
                 Queue(L"y", Page(L"Y1") + L"<delay value='10'/>" + Page(L"Y2"))));
    Run(Call(L"x"));
    EXPECT_EQ(Pages(), (Names{L"X1", L"Y1"}));
    host.RunAllTimers();
    EXPECT_EQ(Pages(), (Names{L"X1", L"Y1", L"Y2"}));
}

TEST_F(QueueTest, DelayValuesAreLeadingDigits) {
    const std::pair<const wchar_t*, int> cases[] = {
        {L"250", 250}, {L"12abc", 12}, {L"abc", 0}, {L"", 0}, {L"-40", 0}};
    for (const auto& [value, milliseconds] : cases) {
        host.calls.clear();
        Start(Queues(Queue(L"q", std::wstring(L"<delay value='") + value + L"'/>" + Page(L"A"))));
        Run(Call(L"q"));
        EXPECT_EQ(host.calls, (Names{L"StartQueueTimer(" + std::to_wstring(milliseconds) + L")"}))
            << value;
        host.RunAllTimers();
    }
}

TEST_F(QueueTest, QueueNamesMatchExactlyElementAndActionNamesIgnoreCase) {
    Start(Queues(L"<ActionQueue name='Start'><ACTION action='page' value='A'/>"
                 L"<Delay value='5'/><Action action='pAgE' value='B'/></ActionQueue>"));
    Run(Call(L"start"));
    EXPECT_TRUE(Pages().empty());
    Run(Call(L"Start"));
    host.RunAllTimers();
    EXPECT_EQ(Pages(), (Names{L"A", L"B"}));
    host.calls.clear();
    Run(L"<action action='PAGECYCLE'/>");
    Run(L"<action action='SubPage' value='s'/>");
    EXPECT_EQ(host.calls, (Names{L"CyclePage()", L"ShowSubpage(s)"}));
}

TEST_F(QueueTest, UnknownNamesDoNothingAndLeaveTheEngineUsable) {
    Start(L"<conditions><condition name='odd' type='nosuch'><true action='page' value='T'/>"
          L"</condition></conditions>" +
          Queues(Queue(L"q", Page(L"A"))));
    for (const wchar_t* xml :
         {L"action='nosuch'", L"", L"action='condition' value='odd'",
          L"action='condition' value='missing'", L"action='actionqueue' value='missing'",
          L"action='update' updatetype='nosuch' value='x'"})
        Run(std::wstring(L"<action ") + xml + L"/>");
    EXPECT_TRUE(host.calls.empty());
    EXPECT_TRUE(host.messageBoxes.empty());
    EXPECT_TRUE(boxes.shown.empty());
    Run(Call(L"q"));
    EXPECT_EQ(Pages(), (Names{L"A"}));
}

TEST_F(QueueTest, TimedActionRunsOnceASecondIsRefusedAndItMayScheduleTheNext) {
    Start(Queues(
        Queue(L"tick", Page(L"T") + L"<action action='actionqueue' value='tick' delay='5'/>")));
    Run(L"<action action='page' value='first' delay='200'/>");
    EXPECT_EQ(host.calls, (Names{L"StartTimer(200)"}));
    Run(L"<action action='page' value='second' delay='200'/>");
    EXPECT_EQ(host.messageBoxes, (Boxes{{L"Error", L"Timed action already set."}}));
    host.RunAllTimers();
    EXPECT_EQ(Pages(), (Names{L"first"}));
    EXPECT_FALSE(engine->HasTimedAction());
    // The slot is free again, also for an action that the timed action itself schedules.
    Run(Call(L"tick"));
    host.Advance(12);
    EXPECT_EQ(Pages(), (Names{L"first", L"T", L"T", L"T"}));
    EXPECT_TRUE(engine->HasTimedAction());
    EXPECT_EQ(host.messageBoxes.size(), 1u);
}

TEST_F(QueueTest, BadDelayAttributeAbandonsTheRunSilently) {
    Start(Queues(
        Queue(L"q", Page(L"A") + L"<action action='page' value='B' delay='soon'/>" + Page(L"C"))));
    Run(Call(L"q"));
    EXPECT_EQ(Pages(), (Names{L"A"}));
    EXPECT_FALSE(engine->HasTimedAction());
    Run(L"<action action='page' value='D' delay='1x'/>");
    EXPECT_TRUE(host.messageBoxes.empty());
    Run(Call(L"q"));
    EXPECT_EQ(Pages(), (Names{L"A", L"A"}));
}

TEST_F(QueueTest, CloseStopsEverythingPending) {
    Start(Queues(Queue(L"q", Page(L"A") + L"<delay value='100'/>" + Page(L"B")) +
                 Queue(L"closer", L"<action action='system' value='CLOSE'/>" + Page(L"never"))));
    Run(Call(L"q"));
    Run(L"<action action='page' value='timed' delay='50'/>");
    Run(Call(L"closer"));
    EXPECT_TRUE(engine->IsStopped());
    EXPECT_TRUE(Called(L"Quit()"));
    host.RunAllTimers();
    Run(Call(L"q"));
    EXPECT_EQ(Pages(), (Names{L"A"}));
}

// Configurations that call themselves synchronously, directly or around a corner.
class RecursionTest : public QueueTest, public ::testing::WithParamInterface<std::wstring> {};

TEST_P(RecursionTest, EndsWithoutACrashAndLeavesTheEngineUsable) {
    Start(GetParam());
    Run(L"<action action='actionqueue' value='loop'/>");
    Run(L"<action action='condition' value='again'/>");
    EXPECT_LE(Pages().size(), static_cast<std::size_t>(2 * ActionEngine::kMaxNesting));
    host.calls.clear();
    Run(L"<action action='page' value='after'/>");
    EXPECT_EQ(Pages(), (Names{L"after"}));
    EXPECT_FALSE(engine->IsStopped());
}

INSTANTIATE_TEST_SUITE_P(
    Engine, RecursionTest,
    ::testing::Values(Queues(Queue(L"loop", Page(L"x") + Call(L"loop"))),
                      // Doubling at every level would never end if only the deepest call were cut.
                      Queues(Queue(L"loop", Call(L"loop") + Call(L"loop") + Page(L"x"))),
                      Queues(Queue(L"loop", Call(L"other")) + Queue(L"other", Call(L"loop"))),
                      Again(L"condition' value='again'"),
                      Again(L"actionqueue' value='loop'") +
                          Queues(Queue(L"loop", L"<action action='condition' value='again'/>"))));

TEST_F(QueueTest, NestingIsCutAtTheBoundAndTheWholeRunEnds) {
    Start(Queues(Queue(L"deep", Page(L"x") + Call(L"deep")) +
                 Queue(L"outer", Call(L"deep") + Page(L"after"))));
    Run(Call(L"outer"));
    const Names pages = Pages();
    // "outer" takes one level; every page before the cut ran, nothing after it.
    EXPECT_EQ(pages, Names(ActionEngine::kMaxNesting - 1, L"x"));
}
