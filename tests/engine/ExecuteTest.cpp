#include "tests/engine/EngineFixture.h"

#include "tests/support/ArgvRecord.h"

#include <filesystem>

namespace fs = std::filesystem;
using Vellmar::Testing::ArgvRecorderPath;
using Vellmar::Testing::ScopedEnv;
using Vellmar::Testing::WaitForArgvRecord;
using Argv = std::vector<std::string>;

class ExecuteTest : public EngineFixture {
protected:
    ExecuteTest()
        : record(dir / "record"), out("ARGV_RECORDER_OUT", record.string()),
          path("PATH", (dir / "bin").string()) {
        fs::create_directories(dir / "bin");
        fs::create_directories(dir / "game dir");
        fs::copy_file(ArgvRecorderPath(), dir / "game dir/Game");
        Start(L"");
    }
    void Tool(const std::string& name) const {
        fs::create_symlink(ArgvRecorderPath(), dir / "bin" / name);
    }
    Vellmar::Testing::ArgvRecord Recorded() const {
        const auto found = WaitForArgvRecord(record);
        EXPECT_TRUE(found.has_value()) << "nothing was started";
        return found.value_or(Vellmar::Testing::ArgvRecord{});
    }

    fs::path record;
    ScopedEnv out;
    ScopedEnv path;
};

// How arguments split and what a child inherits is the shell's business (tests_platform).
TEST_F(ExecuteTest, ProgramGetsExpandedArgumentsAndItsFolderRunasGoesThroughPkexec) {
    context.strings.SetVariable(L"WORD", L"expanded");
    Run(LR"(<action action='execute' file='game dir\GAME' path='${EXE_DIR}/game dir' )"
        LR"(arguments='"with space" ${WORD}'/>)");
    const auto r = Recorded();
    EXPECT_EQ(r.args, (Argv{(dir / "game dir/Game").string(), "with space", "expanded"}));
    EXPECT_EQ(r.cwd, fs::canonical(dir / "game dir").string());
    EXPECT_FALSE(engine->IsStopped());
    EXPECT_TRUE(host.calls.empty());
    Tool("pkexec");
    fs::remove(record);
    Run(L"<action action='execute' file='${EXE_DIR}/game dir/Game' verb='runas' arguments='x'/>");
    EXPECT_EQ(Recorded().args,
              (Argv{(dir / "bin/pkexec").string(), (dir / "game dir/Game").string(), "x"}));
    fs::remove(record);
    Run(L"<action action='execute' file='${EXE_DIR}/game dir/Game' verb=''/>");
    EXPECT_EQ(Recorded().args, (Argv{(dir / "game dir/Game").string()})) << "an empty verb opens";
}

TEST_F(ExecuteTest, AutoquitInAnyCaseQuitsAfterTheLaunchAndFreesTheMutex) {
    Run(L"<action action='setmutex' value='Launcher'/>");
    Run(L"<action action='shellexecute' file='${EXE_DIR}/game dir/Game' autoquit='TRUE'/>");
    Recorded();
    EXPECT_TRUE(engine->IsStopped());
    EXPECT_EQ(host.calls, (Names{L"Quit()"}));
    EXPECT_FALSE(engine->HoldsMutex());
}

TEST_F(ExecuteTest, MissingFileIsReportedUnlessNoncritical) {
    Run(L"<action action='execute' file='absent.exe' noncritical='True' autoquit='true'/>");
    EXPECT_TRUE(host.messageBoxes.empty());
    Run(L"<action action='execute' file='${EXE_DIR}/absent.exe' autoquit='true'/>");
    EXPECT_EQ(host.messageBoxes, (Boxes{{L"Error", L"Not found: " + dir.Wide("absent.exe")}}));
    EXPECT_FALSE(engine->IsStopped());
    EXPECT_FALSE(fs::exists(record));
    // Without a window the message has no owner.
    ActionEngine lone(context, false, media);
    lone.ExecuteActionXml(L"<action action='execute' file='absent.exe'/>");
    EXPECT_EQ(boxes.shown, (Boxes{{L"Error", L"Not found: absent.exe"}}));
}

// The full list of refused addresses is the shell's (tests_platform).
TEST_F(ExecuteTest, UrlOpensOnlyWebAddressesAndItsAutoquitIsExact) {
    Tool("xdg-open");
    Run(L"<action action='url' value='https://example.org/a b'/>");
    EXPECT_EQ(Recorded().args, (Argv{(dir / "bin/xdg-open").string(), "https://example.org/a b"}));
    fs::remove(record);
    Run(L"<action action='url' value='file:///etc/passwd' autoquit='TRUE'/>");
    EXPECT_FALSE(WaitForArgvRecord(record, std::chrono::milliseconds(300)));
    EXPECT_FALSE(engine->IsStopped());
    Run(L"<action action='url' value='file:///x' autoquit='true'/>");
    EXPECT_TRUE(engine->IsStopped()) << "also when nothing opened";
    EXPECT_EQ(host.calls, (Names{L"Quit()"}));
}
