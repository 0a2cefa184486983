#include "platform/Shell.h"
#include "platform/ChildProcess.h"
#include "platform/ShellFolders.h"
#include "support/Text.h"
#include "tests/platform/Scratch.h"
#include "tests/support/ArgvRecord.h"
#include "tests/support/Wait.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <map>

namespace fs = std::filesystem;
using Vellmar::Platform::ChildProcess;
using Vellmar::Platform::Shell;
using Vellmar::Platform::ShellFolders;

namespace {

using Record = Vellmar::Testing::ArgvRecord;

const auto Recorder = Vellmar::Testing::ArgvRecorderPath;

class ShellTest : public ::testing::Test {
protected:
    ShellTest()
        : bin(scratch.Path() / "bin"), recordFile(scratch.Path() / "record"),
          out("ARGV_RECORDER_OUT", recordFile.c_str()), path("PATH", bin.c_str()) {
        fs::create_directories(bin);
    }

    void InstallTool(const std::string& name) const { fs::create_symlink(Recorder(), bin / name); }

    fs::path Document(const std::string& name, fs::perms perms = fs::perms::owner_read) const {
        const fs::path file = scratch.Write(name, "just text\n");
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
    EXPECT_EQ(std::tie(r.cwd, r.fds, r.session),
              std::make_tuple(fs::canonical(work).string(), "0,1,2", "leader"));
}

TEST_F(ShellTest, ScriptRunsThroughItsInterpreterWithoutShell) {
    const fs::path script = scratch.Write("run me.sh", "#!" + Recorder().string() + "\n");
    fs::permissions(script, fs::perms::owner_all);
    const Record r = Started([&] { return Shell::Execute(L"", Wide(script), L"\"a b\"", L""); });
    EXPECT_EQ(r.args, (Argv{Recorder().string(), script.string(), "a b"}));
}

// What Execute would start; the spawning itself is proven by the tests above.
TEST_F(ShellTest, CommandPerKindOfFileAndTool) {
    InstallTool("xdg-open");
    const auto command = [](const fs::path& file, const wchar_t* arguments,
                            const wchar_t* verb = L"open") {
        return Shell::Command(verb, Wide(file), arguments, L"");
    };
    const std::string xdg = (bin / "xdg-open").string(), wine = (bin / "wine").string();
    const fs::path text = Document("readme.txt"), exe = Document("setup.exe");
    // Without wine, a Windows program is a document; so is a text file with the exec bit, as
    // every file of some discs has it. Documents get no arguments.
    for (const fs::path& file : {text, Document("exec bit.txt", fs::perms::owner_exec), exe})
        EXPECT_EQ(command(file, L"-x y"), (Argv{xdg, file.string()})) << file;
    EXPECT_EQ(command(text, L"", L"runas"), Argv{}) << "no pkexec";

    for (const char* tool : {"wine", "pkexec", "mytool"})
        InstallTool(tool);
    for (const fs::path& file : {exe, Document("INSTALL.BAT"), Document("tool.Com")})
        EXPECT_EQ(command(file, L"/s \"a b\""), (Argv{wine, file.string(), "/s", "a b"})) << file;
    const fs::path msi = Document("game.msi");
    EXPECT_EQ(command(msi, L"/s \"a b\""),
              (Argv{wine, "msiexec", "/i", msi.string(), "/s", "a b"}));
    EXPECT_EQ(command(text, L"", L"RunAs"), (Argv{(bin / "pkexec").string(), xdg, text.string()}));
    // Windows-style names are found in the directory; bare names on PATH.
    const fs::path manual = Document("Sub/Read Me.TXT");
    EXPECT_EQ(Shell::Command(L"", L"sub\\read me.txt", L"", scratch.Wide()),
              (Argv{xdg, manual.string()}));
    EXPECT_EQ(Shell::Command(L"open", L"mytool", L"1", L""),
              (Argv{(bin / "mytool").string(), "1"}));
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

TEST(ChildProcess, ExitedChildrenAreReapedAndMissingProgramsAreNoChildren) {
    const auto pid = ChildProcess::SpawnDetached({"/bin/true"}, "");
    ASSERT_TRUE(pid);
    const std::string stat = "/proc/" + std::to_string(*pid) + "/stat";
    EXPECT_TRUE(
        Vellmar::Testing::WaitUntil([&] { return !fs::exists(stat); }, std::chrono::seconds(20)))
        << ReadFile(stat);
    EXPECT_FALSE(ChildProcess::SpawnDetached({"/nonexistent/program"}, ""));
    EXPECT_FALSE(ChildProcess::SpawnDetached({}, ""));
}

class ShellFoldersTest : public ::testing::Test {
protected:
    std::wstring Home(const std::string& rest = "") const { return Wide(home.string() + rest); }
    static std::map<std::wstring, std::wstring> All() {
        const auto all = ShellFolders::All();
        return {all.begin(), all.end()};
    }

    TempDir scratch;
    std::filesystem::path home = scratch.Path() / "home";
    ScopedEnv homeEnv{"HOME", (home.string() + "/").c_str()};
    ScopedEnv config{"XDG_CONFIG_HOME", nullptr};
    ScopedEnv data{"XDG_DATA_HOME", nullptr};
    ScopedEnv cache{"XDG_CACHE_HOME", nullptr};
    ScopedEnv state{"XDG_STATE_HOME", nullptr};
};

TEST_F(ShellFoldersTest, DefaultsUnderHome) {
    const auto all = All();
    const std::map<std::wstring, std::wstring> expected{
        {L"CSIDL_DESKTOP", Home("/Desktop")},
        {L"CSIDL_PERSONAL", Home("/Documents")},
        {L"CSIDL_MYMUSIC", L""},
        {L"CSIDL_TEMPLATES", L""},
        {L"CSIDL_COMMON_TEMPLATES", L"/usr/share/templates"},
        {L"CSIDL_APPDATA", Home("/.config")},
        {L"CSIDL_LOCAL_APPDATA", Home("/.local/share")},
        {L"CSIDL_COMMON_APPDATA", L"/usr/share"},
        {L"CSIDL_INTERNET_CACHE", Home("/.cache")},
        {L"CSIDL_HISTORY", Home("/.local/state")},
        {L"CSIDL_PROGRAMS", Home("/.local/share/applications")},
        {L"CSIDL_COMMON_STARTMENU", L"/usr/share/applications"},
        {L"CSIDL_STARTUP", Home("/.config/autostart")},
        {L"CSIDL_FONTS", Home("/.local/share/fonts")},
        {L"CSIDL_PROFILE", Home()},
        {L"CSIDL_BITBUCKET", Home("/.local/share/Trash")},
        {L"CSIDL_WINDOWS", L""},
        {L"CSIDL_RECENT", L""},
    };
    for (const auto& [name, path] : expected)
        EXPECT_EQ(all.at(name), path) << Vellmar::WideToUtf8(name);
}

TEST_F(ShellFoldersTest, UserDirsAcceptsOnlyHomeRelativeOrAbsoluteValues) {
    scratch.Write("home/.config/user-dirs.dirs", R"(# written by a tool
XDG_DESKTOP_DIR="$HOME/Schreibtisch"
  XDG_DOCUMENTS_DIR="/srv/docs/"
XDG_MUSIC_DIR="relative/music"
XDG_PICTURES_DIR="$HOME/My \"Pics\""
XDG_VIDEOS_DIR=$HOME/Videos
XDG_TEMPLATES_DIR="$HOME/"
XDG_PUBLICSHARE_DIR="$HOMEX/x"
)");
    EXPECT_EQ(ShellFolders::Path(Vellmar::Platform::CSIDL_DESKTOPDIRECTORY), Home("/Schreibtisch"));
    EXPECT_EQ(ShellFolders::Path(Vellmar::Platform::CSIDL_PERSONAL), L"/srv/docs");
    EXPECT_EQ(ShellFolders::Path(Vellmar::Platform::CSIDL_MYMUSIC), L"");
    EXPECT_EQ(ShellFolders::Path(Vellmar::Platform::CSIDL_MYPICTURES), Home("/My \"Pics\""));
    EXPECT_EQ(ShellFolders::Path(Vellmar::Platform::CSIDL_MYVIDEO), L"");
    EXPECT_EQ(ShellFolders::Path(Vellmar::Platform::CSIDL_TEMPLATES), Home());
}

TEST_F(ShellFoldersTest, BaseDirectoriesFromEnvironmentWhenAbsolute) {
    const std::string cfg = (scratch.Path() / "cfg").string();
    ScopedEnv configSet("XDG_CONFIG_HOME", (cfg + "/").c_str());
    ScopedEnv dataSet("XDG_DATA_HOME", "relative/data");
    ScopedEnv cacheSet("XDG_CACHE_HOME", "/var/cache/me");
    scratch.Write("cfg/user-dirs.dirs", "XDG_DESKTOP_DIR=\"/desk\"\n");
    const auto all = All();
    EXPECT_EQ(all.at(L"CSIDL_APPDATA"), Wide(cfg));
    EXPECT_EQ(all.at(L"CSIDL_ALTSTARTUP"), Wide(cfg + "/autostart"));
    EXPECT_EQ(all.at(L"CSIDL_DESKTOPDIRECTORY"), L"/desk");
    EXPECT_EQ(all.at(L"CSIDL_LOCAL_APPDATA"), Home("/.local/share"));
    EXPECT_EQ(all.at(L"CSIDL_INTERNET_CACHE"), L"/var/cache/me");
}

TEST_F(ShellFoldersTest, RelativeHomeFallsBackToTheAccount) {
    ScopedEnv noHome("HOME", "not/absolute");
    // The account's home from the password database stands in; the fixed folders stay fixed.
    EXPECT_EQ(ShellFolders::Path(Vellmar::Platform::CSIDL_COMMON_APPDATA), L"/usr/share");
    EXPECT_EQ(ShellFolders::Path(Vellmar::Platform::CSIDL_PROFILE).find(L"not/absolute"),
              std::wstring::npos);
}

} // namespace
