// Runs the real autorun binary, as a player's desktop would, in a throw-away folder tree.
#include "tests/support/LoopbackHttpServer.h"
#include "tests/support/ProcessRunner.h"
#include "tests/support/Rar4Writer.h"
#include "tests/support/Rar5Writer.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

namespace fs = std::filesystem;
using TestSupport::LinesStartingWith;
using TestSupport::RunProcess;

namespace {

class Startup : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(dir / "home");
        fs::create_directories(dir / "tmp");
    }

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
                                   const std::string& lang = "C",
                                   std::chrono::milliseconds limit = std::chrono::seconds(30)) {
        return RunProcess(exe, args,
                          {{"HOME", (dir / "home").string()},
                           {"XDG_CONFIG_HOME", ""},
                           {"LANG", lang},
                           {"LC_ALL", ""},
                           {"LC_MESSAGES", ""},
                           {"AUTORUN_NONINTERACTIVE", "1"},
                           {"TMPDIR", (dir / "tmp").string()},
                           {"QT_QPA_PLATFORM", "offscreen"},
                           {"VELLMAR_REGISTRY_DIR", (dir / "registry").string()}},
                          {}, limit);
    }

    // A launcher in disc/setup whose start-up updates disc/setup/news from `route`, with the
    // library beside it; its path.
    std::string InstallNewsUpdate(Vellmar::Testing::LoopbackHttpServer& server,
                                  const Vellmar::Testing::HttpRoute& route) {
        server.Route("/news.rar", route);
        // The test machine may be offline; a dedicated connection skips the probe.
        dir.Write("registry/HKEY_CURRENT_USER.reg",
                  "Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\Software\\"
                  "Vellmar]\r\n\"DedicatedInternetConnection\"=dword:00000001\r\n");
        WriteConfig("setup", "<VellmarApp><application><initialization><init action='condition' "
                             "value='news'/></initialization></application><conditions><condition "
                             "name='news' type='newsupdate' location='${EXE_DIR}\\news' URL='" +
                                 server.Url("/news.rar") +
                                 "'><true action='system' value='close'/><false action='system' "
                                 "value='close'/></condition></conditions></VellmarApp>");
        const std::string exe = Install("setup");
        fs::copy_file(fs::path(std::getenv("VELLMAR_TEST_BIN_DIR")) / "libunrar.so",
                      fs::path(exe).parent_path() / "libunrar.so",
                      fs::copy_options::overwrite_existing);
        return exe;
    }

    // The news update's work folders in `folder`; other programs may leave files in TMPDIR too.
    std::vector<std::string> WorkIn(const std::string& folder) const {
        std::vector<std::string> work;
        for (const std::string& name : dir.List(folder))
            if (name.ends_with(".vellmar-news"))
                work.push_back(name);
        return work;
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
    WriteConfig("setup", kEmptyConfig);
    const auto result = Run(Install("setup/bin"), {});
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

struct NewsCase {
    const char* label;
    std::string archive;
    bool replaced;
};

std::string FlippedRar5() {
    std::string bytes = Vellmar::Testing::Rar5Writer().file("today.txt", "fresh news").bytes();
    bytes[bytes.find("fresh")] ^= 1;
    return bytes;
}

class StartupNews : public Startup, public ::testing::WithParamInterface<NewsCase> {};

TEST_P(StartupNews, ReplacesTheNewsOnlyWithAnIntactArchive) {
    Vellmar::Testing::LoopbackHttpServer server;
    Vellmar::Testing::HttpRoute route;
    route.body = GetParam().archive;
    const std::string exe = InstallNewsUpdate(server, route);
    dir.Write("disc/setup/news/old.txt", "stale");

    const auto result = Run(exe, {"/log"});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    const std::string log = ReadLog();
    if (GetParam().replaced) {
        EXPECT_EQ(dir.List("disc/setup/news"), std::vector<std::string>{"today.txt"});
        EXPECT_EQ(dir.Read("disc/setup/news/today.txt"), "fresh news");
        for (const char* line : {"Checking internet connection status", "Attempting update",
                                 "Committed ", "News update complete."})
            EXPECT_NE(log.find(line), std::string::npos) << line << "\n" << log;
    } else {
        EXPECT_EQ(dir.List("disc/setup/news"), std::vector<std::string>{"old.txt"});
        EXPECT_NE(log.find("News update failed."), std::string::npos) << log;
    }
    EXPECT_EQ(dir.List("disc/setup"),
              (std::vector<std::string>{"autorun", "data", "libunrar.so", "news"}));
}

INSTANTIATE_TEST_SUITE_P(
    Archives, StartupNews,
    ::testing::Values(
        NewsCase{"Rar4", Vellmar::Testing::Rar4Writer().file("today.txt", "fresh news").bytes(),
                 true},
        NewsCase{"Rar5FlippedDataByte", FlippedRar5(), false}),
    [](const auto& info) { return std::string(info.param.label); });

TEST_F(Startup, KilledLauncherLeavesWorkThatTheNextNewsUpdateRemoves) {
    Vellmar::Testing::LoopbackHttpServer server;
    Vellmar::Testing::HttpRoute route;
    route.body = Vellmar::Testing::Rar4Writer().file("today.txt", "fresh news").bytes();
    route.mode = Vellmar::Testing::HttpRoute::Mode::SlowDrip;
    route.dripInterval = std::chrono::milliseconds(200);
    const std::string exe = InstallNewsUpdate(server, route);
    // Killed mid-download, as a logout would.
    EXPECT_TRUE(Run(exe, {}, "C", std::chrono::seconds(5)).timedOut);
    const auto partial = WorkIn("tmp");
    ASSERT_EQ(partial.size(), 1u);
    EXPECT_EQ(dir.List("tmp/" + partial[0]).size(), 1u) << "the partial download";

    // An unpack folder of a launcher killed earlier, and one of a launcher still running.
    const std::string dead = "0b6f4c1e-2a3d-4e5f-8a9b-0c1d2e3f4a5b.vellmar-news";
    const std::string live = "1c7a5d2f-3b4e-4f60-9bac-1d2e3f4a5b6c.vellmar-news";
    dir.Write("disc/setup/" + dead + "/today.txt", "half");
    dir.Write("disc/setup/" + live + "/today.txt", "in use");
    // Names that are not the launcher's work stay.
    dir.Write("disc/setup/2d8b6e3a-4c5f-4a71-8cbd-2e3f4a5b6c7d/mine.txt", "kept");
    dir.Write("disc/setup/notes.vellmar-news/mine.txt", "kept");
    const int held =
        ::open((dir / "disc/setup" / live).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    ASSERT_EQ(::flock(held, LOCK_EX | LOCK_NB), 0);

    route.mode = Vellmar::Testing::HttpRoute::Mode::Respond;
    server.Route("/news.rar", route);
    EXPECT_EQ(Run(exe, {}).exitCode, 0);
    ::close(held);
    EXPECT_TRUE(WorkIn("tmp").empty());
    EXPECT_EQ(dir.List("disc/setup"),
              (std::vector<std::string>{live, "2d8b6e3a-4c5f-4a71-8cbd-2e3f4a5b6c7d", "autorun",
                                        "data", "libunrar.so", "news", "notes.vellmar-news"}));
    EXPECT_EQ(dir.Read("disc/setup/news/today.txt"), "fresh news");
}
