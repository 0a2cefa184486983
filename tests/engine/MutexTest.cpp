#include "tests/engine/EngineFixture.h"

#include "engine/NamedMutex.h"
#include "platform/NamedLock.h"
#include "tests/support/LockHolder.h"

#include <unistd.h>

#include <filesystem>

namespace {

// Conditions "c" on the mutex `name` and "empty" on no name.
std::wstring MutexConditions(const std::wstring& name = L"Game Running") {
    const std::wstring twoWay = L"<true action='page' value='T'/><false action='page' value='F'/>";
    return L"<conditions><condition name='c' type='mutex' value='" + name + L"'><bringtofront/>" +
           twoWay + L"</condition><condition name='empty' type='mutex' value=''>" + twoWay +
           L"</condition></conditions>";
}

} // namespace

class MutexTest : public EngineFixture {};

TEST_F(MutexTest, AnotherProcessHoldingTheNameRunsTrue) {
    Vellmar::Testing::LockHolder holder(L"Game Running", false);
    ASSERT_TRUE(holder.took);
    Start(MutexConditions());
    engine->RunCondition(L"c");
    EXPECT_EQ(Pages(), (Names{L"T"}));
    EXPECT_FALSE(NamedMutex(L"Game Running").IsCreated()) << "the probe took nothing away";
}

TEST_F(MutexTest, NoHolderRunsFalseAndLeavesNothingBehindTheLaunchersOwnCounts) {
    Start(MutexConditions());
    engine->RunCondition(L"c");
    engine->RunCondition(L"empty");
    EXPECT_EQ(Pages(), (Names{L"F"}));
    EXPECT_FALSE(std::filesystem::exists(Vellmar::Platform::NamedLock::LockPath(L"Game Running")));
    EXPECT_TRUE(NamedMutex(L"Game Running").IsCreated());
    Run(L"<action action='setmutex' value='Game Running'/>");
    engine->RunCondition(L"c");
    EXPECT_EQ(Pages(), (Names{L"F", L"T"}));
    EXPECT_TRUE(engine->HoldsMutex());
}

TEST_F(MutexTest, OnlyARealHolderCountsAsHeld) {
    // Unique, as the shared fallback folder may hold other tests' locks.
    const std::wstring name = L"Free " + std::to_wstring(::getpid());
    Start(MutexConditions(name));
    // Another user's folder: root owns "/", so root hands a folder to nobody.
    std::string foreign = "/";
    if (::geteuid() == 0) {
        foreign = (dir / "foreign").string();
        std::filesystem::create_directory(foreign);
        ASSERT_EQ(::chown(foreign.c_str(), 65534, 65534), 0);
    }
    // what, runtime folder, lock file that cannot be opened
    const std::tuple<const char*, std::string, bool> cases[] = {
        {"missing runtime folder", (dir / "missing").string(), false},
        {"another user's runtime folder", foreign, false},
        {"lock file that cannot be opened", (dir / "run").string(), true},
    };
    for (const auto& [what, folder, unopenableLock] : cases) {
        Vellmar::Testing::ScopedEnv runtime("XDG_RUNTIME_DIR", folder.c_str());
        if (unopenableLock)
            std::filesystem::create_symlink("/", Vellmar::Platform::NamedLock::LockPath(name));
        host.calls.clear();
        engine->RunCondition(L"c");
        EXPECT_EQ(Pages(), (Names{L"F"})) << what;
    }
}
