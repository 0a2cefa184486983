#include "platform/Shell.h"
#include "platform/ChildProcess.h"
#include "support/Text.h"
#include "tests/platform/Scratch.h"
#include "tests/support/ArgvRecord.h"
#include "tests/support/Wait.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <chrono>

namespace fs = std::filesystem;
using PlatformTest::Wide;
using PlatformTest::WriteAt;
using Vellmar::Platform::ChildProcess;
using Vellmar::Platform::Shell;

namespace {

using Record = Vellmar::Testing::ArgvRecord;

using Vellmar::Testing::ArgvRecorderPath;
const auto Recorder = ArgvRecorderPath;

class ShellTest : public ::testing::Test {
protected:
    ShellTest()
        : bin(scratch.Path() / "bin"), recordFile(scratch.Path() / "record"),
          out("ARGV_RECORDER_OUT", recordFile.c_str()), path("PATH", bin.c_str()) {
        fs::create_directories(bin);
    }

    void InstallTool(const std::string& name) const { fs::create_symlink(Recorder(), bin / name); }

    fs::path Document(const std::string& name, fs::perms perms = fs::perms::owner_read) const {
        const fs::path file = WriteAt(scratch.Path() / name, "just text\n");
        fs::permissions(file, perms | fs::perms::owner_read);
        return file;
    }

    // Runs `start`, which must report a started process, and returns what that process saw.
    template <typename Start> Record Started(Start start) {
        fs::remove(recordFile);
        EXPECT_TRUE(start());
        return Vellmar::Testing::WaitForArgvRecord(recordFile).value_or(Record{});
    }

    TempDir scratch;
    fs::path bin;
    fs::path recordFile;
    ScopedEnv out;
    ScopedEnv path;
};

using Argv = std::vector<std::string>;

TEST_F(ShellTest, ProgramGetsExactArgumentsItsDirectoryAndNothingElse) {
    const fs::path work = scratch.Path() / "work dir";
    fs::create_directories(work);
    const int stray = ::open("/dev/null", O_RDONLY); // inheritable on purpose
    ASSERT_GE(stray, 3);
    const Record r = Started([&] {
        return Shell::Execute(L"open", Wide(Recorder()),
                              LR"(plain "with space" "quote\"d" back\slash "trail\\" "" ü$HOME)",
                              Wide(work));
    });
    ::close(stray);
    EXPECT_EQ(r.args, (Argv{Recorder().string(), "plain", "with space", "quote\"d", "back\\slash",
                            "trail\\", "", "\xc3\xbc$HOME"}));
    EXPECT_EQ(r.cwd, fs::canonical(work).string());
    EXPECT_EQ(r.fds, "0,1,2");
    EXPECT_EQ(r.session, "leader");
}

TEST_F(ShellTest, ScriptRunsThroughItsInterpreterWithoutShell) {
    const fs::path script =
        WriteAt(scratch.Path() / "run me.sh", "#!" + Recorder().string() + "\n");
    fs::permissions(script, fs::perms::owner_all);
    const Record r = Started([&] { return Shell::Execute(L"", Wide(script), L"\"a b\"", L""); });
    EXPECT_EQ(r.args, (Argv{Recorder().string(), script.string(), "a b"}));
}

TEST_F(ShellTest, DocumentsAndUnstartableFilesGoToXdgOpenWithoutArguments) {
    InstallTool("xdg-open");
    const fs::path xdg = bin / "xdg-open";
    const std::vector<fs::path> files{
        Document("readme.txt"),
        Document("exec bit.txt", fs::perms::owner_exec), // every file of some discs has it
        Document("setup.exe"),                           // no wine on PATH
    };
    for (const fs::path& file : files) {
        const Record r = Started([&] { return Shell::Execute(L"open", Wide(file), L"-x y", L""); });
        EXPECT_EQ(r.args, (Argv{xdg.string(), file.string()}));
    }
}

TEST_F(ShellTest, WindowsProgramsRunUnderWine) {
    InstallTool("wine");
    const fs::path wine = bin / "wine";
    struct Case {
        fs::path file;
        Argv expected;
    };
    const fs::path exe = Document("setup.exe");
    const fs::path bat = Document("INSTALL.BAT");
    const fs::path com = Document("tool.Com");
    const fs::path msi = Document("game.msi");
    const std::vector<Case> cases{
        {exe, {wine.string(), exe.string(), "/s", "a b"}},
        {bat, {wine.string(), bat.string(), "/s", "a b"}},
        {com, {wine.string(), com.string(), "/s", "a b"}},
        {msi, {wine.string(), "msiexec", "/i", msi.string(), "/s", "a b"}},
    };
    for (const Case& c : cases) {
        const Record r =
            Started([&] { return Shell::Execute(L"open", Wide(c.file), L"/s \"a b\"", L""); });
        EXPECT_EQ(r.args, c.expected);
    }
}

TEST_F(ShellTest, RunasGoesThroughPkexecAndFailsWithoutIt) {
    InstallTool("xdg-open");
    const fs::path doc = Document("manual.pdf");
    EXPECT_FALSE(Shell::Execute(L"runas", Wide(doc), L"", L""));
    InstallTool("pkexec");
    const Record r = Started([&] { return Shell::Execute(L"RunAs", Wide(doc), L"", L""); });
    EXPECT_EQ(r.args, (Argv{(bin / "pkexec").string(), (bin / "xdg-open").string(), doc.string()}));
}

TEST_F(ShellTest, FindsWindowsStyleNamesInDirectoryAndBareNamesOnPath) {
    InstallTool("xdg-open");
    InstallTool("mytool");
    const fs::path doc = Document("Sub/Read Me.TXT");
    Record r =
        Started([&] { return Shell::Execute(L"", L"sub\\read me.txt", L"", scratch.Wide()); });
    EXPECT_EQ(r.args, (Argv{(bin / "xdg-open").string(), doc.string()}));
    EXPECT_EQ(r.cwd, fs::canonical(scratch.Path()).string());
    r = Started([&] { return Shell::Execute(L"open", L"mytool", L"1", L""); });
    EXPECT_EQ(r.args, (Argv{(bin / "mytool").string(), "1"}));
}

TEST_F(ShellTest, ReportsWhatCouldNotBeStarted) {
    const fs::path doc = Document("readme.txt");
    EXPECT_FALSE(Shell::Execute(L"open", Wide(scratch.Path() / "missing.exe"), L"", L""));
    EXPECT_FALSE(Shell::Execute(L"open", L"", L"", L""));
    EXPECT_FALSE(Shell::Execute(L"open", Wide(doc), L"", L"")); // no xdg-open anywhere
    InstallTool("xdg-open");
    EXPECT_FALSE(Shell::Execute(L"open", Wide(doc), L"", Wide(scratch.Path() / "no such dir")));
}

TEST_F(ShellTest, OpensOnlyWebAndMailAddresses) {
    InstallTool("xdg-open");
    for (const wchar_t* url : {L"http://example.com/a b?x=1&y=2", L"HTTPS://EXAMPLE.COM",
                               L"ftp://host/file", L"MailTo:someone@example.com"}) {
        const Record r = Started([&] { return Shell::OpenUrl(url); });
        EXPECT_EQ(r.args, (Argv{(bin / "xdg-open").string(), Vellmar::WideToUtf8(url)}));
    }
    for (const wchar_t* url :
         {L"file:///etc/passwd", L"javascript:alert(1)", L"http://a\nb", L"http://a\u0085b",
          L"www.example.com", L"C:\\setup.exe", L"-http://x", L""})
        EXPECT_FALSE(Shell::OpenUrl(url)) << Vellmar::WideToUtf8(url);
}

TEST(ShellUrl, SchemeSyntax) {
    for (const wchar_t* text : {L"http://x", L"a+b-c.d:rest", L"mailto:", L"x1:"})
        EXPECT_TRUE(Shell::IsUrl(text)) << Vellmar::WideToUtf8(text);
    for (const wchar_t* text :
         {L"", L":x", L"c:\\x", L"1a:b", L"h_t:x", L"ht tp://x", L"\u00e9t\u00e9:x", L"no colon"})
        EXPECT_FALSE(Shell::IsUrl(text)) << Vellmar::WideToUtf8(text);
}

TEST(ChildProcess, ExitedChildrenAreReaped) {
    const auto pid = ChildProcess::SpawnDetached({"/bin/true"}, "");
    ASSERT_TRUE(pid);
    const std::string stat = "/proc/" + std::to_string(*pid) + "/stat";
    EXPECT_TRUE(
        Vellmar::Testing::WaitUntil([&] { return !fs::exists(stat); }, std::chrono::seconds(20)))
        << ReadFile(stat);
}

TEST(ChildProcess, MissingProgramIsAnErrorNotAChild) {
    EXPECT_FALSE(ChildProcess::SpawnDetached({"/nonexistent/program"}, ""));
    EXPECT_FALSE(ChildProcess::SpawnDetached({}, ""));
}

} // namespace
