#include "platform/ShellFolders.h"
#include "tests/platform/Scratch.h"

#include <gtest/gtest.h>

#include <map>

using Vellmar::Platform::ShellFolders;

namespace {

class ShellFoldersTest : public ::testing::Test {
protected:
    std::wstring Home(const std::string& rest = "") const {
        return PlatformTest::Wide(home.string() + rest);
    }
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
    EXPECT_EQ(all.at(L"CSIDL_APPDATA"), PlatformTest::Wide(cfg));
    EXPECT_EQ(all.at(L"CSIDL_ALTSTARTUP"), PlatformTest::Wide(cfg + "/autostart"));
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
