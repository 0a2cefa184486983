// Runs the real autorun binary, as a player's desktop would, in a throw-away folder tree.
#include "tests/support/LoopbackHttpServer.h"
#include "tests/support/ProcessRunner.h"
#include "tests/support/Rar4Writer.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

namespace fs = std::filesystem;
using TestSupport::LinesStartingWith;
using TestSupport::RunProcess;

namespace {

class Startup : public ::testing::Test {
protected:
    void SetUp() override { fs::create_directories(dir / "home"); }

    // Places the binary at disc/<relative>/autorun.
    std::string Install(const std::string& relative) {
        const fs::path target = dir / "disc" / relative / "autorun";
        fs::create_directories(target.parent_path());
        fs::copy_file(fs::path(std::getenv("VELLMAR_TEST_BIN_DIR")) / "autorun", target,
                      fs::copy_options::overwrite_existing);
        return target.string();
    }

    void WriteConfig(const std::string& relative, const std::string& text) {
        dir.Write("disc/" + relative + "/data/autorun.xml", text);
    }

    TestSupport::ProcessResult Run(const std::string& exe, const std::vector<std::string>& args,
                                   const std::string& lang = "C") {
        return RunProcess(exe, args,
                          {{"HOME", (dir / "home").string()},
                           {"XDG_CONFIG_HOME", ""},
                           {"LANG", lang},
                           {"LC_ALL", ""},
                           {"LC_MESSAGES", ""},
                           {"AUTORUN_NONINTERACTIVE", "1"},
                           {"QT_QPA_PLATFORM", "offscreen"},
                           {"VELLMAR_REGISTRY_DIR", (dir / "registry").string()}});
    }

    fs::path LogFile() const { return dir / "home" / "Documents" / "autorun.log"; }
    std::string ReadLog() const { return Vellmar::Testing::ReadFile(LogFile()); }

    Vellmar::Testing::TempDir dir{"vellmar-startup"};
};

// The window would wait for a person: every run closes it from its initialization.
const char* kEmptyConfig = "<?xml version=\"1.0\"?>\n<VellmarApp><application><initialization>"
                           "<init action=\"system\" value=\"close\"/></initialization>"
                           "</application></VellmarApp>\n";

} // namespace

TEST_F(Startup, MissingConfigurationIsOneMessageAndNoLog) {
    const auto result = Run(Install("setup/bin"), {});
    const auto boxes = LinesStartingWith(result.err, "MessageBox:");
    ASSERT_EQ(boxes.size(), 1u) << result.err;
    EXPECT_EQ(boxes[0], "MessageBox: Error:: The following file could not be found:\\nautorun.xml");
    EXPECT_NE(result.exitCode, 0);
    EXPECT_FALSE(fs::exists(LogFile()));
}

TEST_F(Startup, ConfigurationBesideAParentFolderIsFound) {
    // Players' folder names are not ASCII.
    WriteConfig("Spiele Ü", kEmptyConfig);
    const auto result = Run(Install("Spiele Ü/bin"), {});
    EXPECT_TRUE(LinesStartingWith(result.err, "MessageBox:").empty()) << result.err;
    EXPECT_EQ(result.exitCode, 0);
}

TEST_F(Startup, SyntaxErrorNamesLineColumnAndFile) {
    WriteConfig("setup", "<?xml version=\"1.0\"?>\n<VellmarApp>\n<a x=\"1\" <b/>\n</VellmarApp>\n");
    const auto result = Run(Install("setup"), {});
    const auto boxes = LinesStartingWith(result.err, "MessageBox:");
    ASSERT_EQ(boxes.size(), 1u) << result.err;
    EXPECT_NE(boxes[0].find("Line: 3, "), std::string::npos) << boxes[0];
    EXPECT_NE(boxes[0].find("File: " + (dir / "disc/setup/data/autorun.xml").string()),
              std::string::npos)
        << boxes[0];
    EXPECT_NE(result.exitCode, 0);
}

TEST_F(Startup, LanguageFromLocaleAndConfigurationOverride) {
    const std::string exe = Install("setup");
    auto result = Run(exe, {}, "de_DE.UTF-8");
    auto boxes = LinesStartingWith(result.err, "MessageBox:");
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].rfind("MessageBox: Fehler:: ", 0), 0u) << boxes[0];

    WriteConfig("setup", "<?xml version=\"1.0\"?>\n<VellmarApp>\n<application><languagetable>"
                         "<strings language=\"de\"><string name=\"error_title\">Achtung</string>"
                         "</strings></languagetable></application>\n<broken\n</VellmarApp>\n");
    result = Run(exe, {}, "de_DE.UTF-8");
    boxes = LinesStartingWith(result.err, "MessageBox:");
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].rfind("MessageBox: Fehler:: ", 0), 0u)
        << "a file that does not parse adds no strings: " << boxes[0];
}

TEST_F(Startup, LogSwitchAppendsAndIsCaseSensitive) {
    WriteConfig("setup", kEmptyConfig);
    const std::string exe = Install("setup");
    EXPECT_EQ(Run(exe, {"/LOG"}).exitCode, 0);
    EXPECT_FALSE(fs::exists(LogFile()));

    EXPECT_EQ(Run(exe, {"/log", "extra"}).exitCode, 0);
    EXPECT_EQ(Run(exe, {"/log"}).exitCode, 0);
    const std::string log = ReadLog();
    for (const char* expected : {"] Log started\r\n", "] - Exe: ", "] - Command line: ",
                                 "/autorun /log extra\r\n", "] Log ended\r\n\r\n\r\n\r\n"}) {
        EXPECT_NE(log.find(expected), std::string::npos) << expected << "\n" << log;
    }
    EXPECT_NE(log.find("Log started"), log.rfind("Log started")) << "the second run appends";
}

TEST_F(Startup, WithoutADisplayOneLineInsteadOfAnAbort) {
    WriteConfig("setup", kEmptyConfig);
    const std::string exe = Install("setup");
    struct Row {
        const char* x11;
        const char* wayland;
        const char* reason;
    };
    for (const Row& row :
         {Row{"", "", "neither DISPLAY nor WAYLAND_DISPLAY is set"},
          Row{":31999", "", "DISPLAY=:31999 does not answer"},
          Row{"", "vellmar-none", "WAYLAND_DISPLAY=vellmar-none does not answer"}}) {
        const auto result = RunProcess(exe, {},
                                       {{"HOME", (dir / "home").string()},
                                        {"AUTORUN_NONINTERACTIVE", "1"},
                                        {"QT_QPA_PLATFORM", ""},
                                        {"XDG_RUNTIME_DIR", dir.Path().string()},
                                        {"DISPLAY", row.x11},
                                        {"WAYLAND_DISPLAY", row.wayland}});
        EXPECT_EQ(result.exitCode, 1) << result.err;
        EXPECT_EQ(result.err, std::string("autorun: no display: ") + row.reason +
                                  " (start it from a desktop session, or set "
                                  "QT_QPA_PLATFORM=offscreen)\n");
    }
}

TEST_F(Startup, UsageBoxEndsBeforeAnythingElse) {
    const std::string exe = Install("setup");
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"/?", "/log"}, std::vector<std::string>{"/log", "/?"}}) {
        const auto result = Run(exe, args);
        const auto boxes = LinesStartingWith(result.err, "MessageBox:");
        ASSERT_EQ(boxes.size(), 1u) << result.err;
        EXPECT_EQ(boxes[0].rfind("MessageBox: Arguments: autorun [/language <language>]", 0), 0u);
        EXPECT_EQ(result.exitCode, 0);
        EXPECT_FALSE(fs::exists(LogFile()));
    }
}

TEST_F(Startup, ConfigurationStringsCaptionLaterErrors) {
    WriteConfig("setup", R"(<?xml version="1.0"?>
<VellmarApp><application>
  <languagetable><strings language="de"><string name="error_title">Achtung</string></strings>
  </languagetable>
  <initialization>
    <init action="page" value="a" delay="50"/><init action="page" value="a" delay="50"/>
    <init action="system" value="close"/>
  </initialization>
</application><pages default="a"><page name="a"/></pages></VellmarApp>
)");
    const auto result = Run(Install("setup"), {"/log"}, "de_DE.UTF-8");
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(LinesStartingWith(result.err, "MessageBox:"),
              std::vector<std::string>{"MessageBox: Achtung: Timed action already set."});
    const std::string log = ReadLog();
    EXPECT_NE(log.find("] Log started\r\n"), std::string::npos) << log;
    EXPECT_NE(log.find("] Log ended\r\n"), std::string::npos) << log;
}

TEST_F(Startup, NewsUpdateFromStartUpReplacesTheNewsAndRunsItsBranch) {
    Vellmar::Testing::LoopbackHttpServer server;
    Vellmar::Testing::HttpRoute route;
    route.body = Vellmar::Testing::Rar4Writer().file("today.txt", "fresh news").bytes();
    server.Route("/news.rar", route);
    // The test machine may be offline; a dedicated connection skips the probe.
    dir.Write("registry/HKEY_CURRENT_USER.reg",
              "Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\Software\\Vellmar]"
              "\r\n\"DedicatedInternetConnection\"=dword:00000001\r\n");
    dir.Write("disc/setup/news/old.txt", "stale");
    WriteConfig("setup",
                "<VellmarApp><application><initialization><init action='condition' value='news'/>"
                "</initialization></application><conditions><condition name='news' "
                "type='newsupdate' location='${EXE_DIR}\\news' URL='" +
                    server.Url("/news.rar") +
                    "'><true action='system' value='close'/><false action='system' value='close'/>"
                    "</condition></conditions>"
                    "</VellmarApp>");

    const std::string exe = Install("setup");
    fs::copy_file(fs::path(std::getenv("VELLMAR_TEST_BIN_DIR")) / "libunrar.so",
                  fs::path(exe).parent_path() / "libunrar.so");
    const auto result = Run(exe, {"/log"});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_FALSE(fs::exists(dir / "disc" / "setup" / "news" / "old.txt"));
    EXPECT_EQ(dir.Read("disc/setup/news/today.txt"), "fresh news");
    const std::string log = ReadLog();
    for (const char* line : {"Checking internet connection status", "Attempting update",
                             "Committed ", "News update complete."})
        EXPECT_NE(log.find(line), std::string::npos) << line << "\n" << log;
}
