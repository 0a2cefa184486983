// Runs the real autorun binary, as a player's desktop would, in a throw-away folder tree.
#include "tests/support/LoopbackHttpServer.h"
#include "tests/support/PrivateXServer.h"
#include "tests/support/ProcessRunner.h"
#include "tests/support/Rar4Writer.h"
#include "tests/support/TempDir.h"
#include "tests/support/Wait.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <fnmatch.h>
#include <sys/file.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <thread>

// Xlib defines None and Bool as macros: after gtest.
#include <X11/Xlib.h>

namespace fs = std::filesystem;
using TestSupport::LinesStartingWith;
using TestSupport::RunProcess;

namespace {

class Startup : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(Home());
        fs::create_directories(dir / "tmp");
        exe = Install("setup");
    }
    // Players' own letters, in Documents and in the install folder alike.
    fs::path Home() const { return dir / "Heim \u00c9t\u00e9 \u0434\u043e\u043c \u5bb6"; }

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

    TestSupport::ProcessResult Run(const std::string& program, const std::vector<std::string>& args,
                                   const std::string& lang = "C",
                                   const std::map<std::string, std::string>& extra = {},
                                   std::chrono::milliseconds limit = std::chrono::seconds(30)) {
        std::map<std::string, std::string> environment = {
            {"HOME", Home().string()},
            {"XDG_CONFIG_HOME", ""},
            {"LANG", lang},
            {"LC_ALL", ""},
            {"LC_MESSAGES", ""},
            {"AUTORUN_NONINTERACTIVE", "1"},
            {"TMPDIR", (dir / "tmp").string()},
            {"QT_QPA_PLATFORM", "offscreen"},
            {"VELLMAR_REGISTRY_DIR", (dir / "registry").string()}};
        for (const auto& [name, value] : extra)
            environment[name] = value;
        return RunProcess(program, args, environment, {}, limit);
    }

    // The launcher in disc/setup updates disc/setup/news from `route` at start-up, with the
    // library beside it.
    void InstallNewsUpdate(Vellmar::Testing::LoopbackHttpServer& server,
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
        fs::copy_file(fs::path(std::getenv("VELLMAR_TEST_BIN_DIR")) / "libunrar.so",
                      fs::path(exe).parent_path() / "libunrar.so",
                      fs::copy_options::overwrite_existing);
    }

    // The news update's work folders in `folder`; other programs may leave files in TMPDIR too.
    std::vector<std::string> WorkIn(const std::string& folder) const {
        std::vector<std::string> work;
        for (const std::string& name : dir.List(folder))
            if (name.ends_with(".vellmar-news"))
                work.push_back(name);
        return work;
    }

    fs::path LogFile() const { return Home() / "Documents" / "autorun.log"; }
    std::string ReadLog() const { return Vellmar::Testing::ReadFile(LogFile()); }

    Vellmar::Testing::TempDir dir{"vellmar-startup"};
    std::string exe; // disc/setup/autorun
};

// The window would wait for a person: every run closes it from its initialization.
const char* kEmptyConfig = "<VellmarApp><application><initialization><init action='system' "
                           "value='close'/></initialization></application></VellmarApp>";

// Sends WM_DELETE_WINDOW, as a window manager's Alt+F4 or a task bar's Close does, to every
// mapped top-level window on `display`; false when none shows in 25 s (the run's limit is 30 s).
bool CloseFirstWindow(const std::string& display) {
    Display* x = XOpenDisplay(display.c_str()); // the server answers once it named its display
    if (!x)
        return false;
    const Atom protocols = XInternAtom(x, "WM_PROTOCOLS", False);
    const Atom deleteWindow = XInternAtom(x, "WM_DELETE_WINDOW", False);
    bool sent = false;
    for (int attempt = 0; attempt < 500 && !sent; ++attempt) {
        ::usleep(50000);
        Window root = 0, parent = 0, *children = nullptr;
        unsigned int count = 0;
        if (!XQueryTree(x, DefaultRootWindow(x), &root, &parent, &children, &count))
            continue;
        for (unsigned int i = 0; i < count; ++i) {
            XWindowAttributes attributes{};
            if (!XGetWindowAttributes(x, children[i], &attributes) ||
                attributes.map_state != IsViewable)
                continue;
            XEvent close{};
            close.xclient.type = ClientMessage;
            close.xclient.window = children[i];
            close.xclient.message_type = protocols;
            close.xclient.format = 32;
            close.xclient.data.l[0] = static_cast<long>(deleteWindow);
            sent = XSendEvent(x, children[i], False, NoEventMask, &close) != 0 || sent;
        }
        if (children)
            XFree(children);
    }
    XSync(x, False);
    XCloseDisplay(x);
    return sent;
}

} // namespace

// Start-ups that fail before the window exists: one message box, then a non-zero exit.
TEST_F(Startup, FailedStartIsOneMessageAndANonZeroExit) {
    const std::string file = (dir / "disc/setup/data/autorun.xml").string();
    struct Row {
        const char* lang;
        const char* config; // nullptr: none is written
        std::string box;    // an fnmatch pattern
    };
    const Row rows[] = {
        {"C", nullptr, "MessageBox: Error:: The following file could not be found:\\nautorun.xml"},
        {"C",
         "<?xml version=\"1.0\"?>\n<VellmarApp><pages default=\"a\">"
         "<page name=\"a\" background=\"missing.bmp\"/></pages></VellmarApp>\n",
         "MessageBox: *missing.bmp*"},
        {"C", "<?xml version=\"1.0\"?>\n<VellmarApp>\n<a x=\"1\" <b/>\n</VellmarApp>\n",
         "MessageBox: *Line: 3, *File: " + file + "*"},
        // A file that does not parse adds no strings to the message.
        {"de_DE.UTF-8",
         "<?xml version=\"1.0\"?>\n<VellmarApp>\n<application><languagetable>"
         "<strings language=\"de\"><string name=\"error_title\">Achtung</string>"
         "</strings></languagetable></application>\n<broken\n</VellmarApp>\n",
         "MessageBox: Fehler:: *"},
        // With /log: Documents is a file here, so the log's folder cannot be made.
        {"C", kEmptyConfig,
         "MessageBox: Error: Could not open log file: " + LogFile().string() +
             "\\nIts folder could not be created: " + (Home() / "Documents").string() +
             "\\nDirectory::Create failed\\nFile exists"},
    };
    for (const Row& row : rows) {
        if (row.config)
            WriteConfig("setup", row.config);
        const bool log = &row == &rows[std::size(rows) - 1];
        if (log)
            dir.Write(fs::relative(Home() / "Documents", dir.Path()).string(), "not a folder");
        const auto result =
            Run(exe, log ? std::vector<std::string>{"/log"} : std::vector<std::string>{}, row.lang);
        const auto boxes = LinesStartingWith(result.err, "MessageBox:");
        ASSERT_EQ(boxes.size(), 1u) << result.err;
        EXPECT_EQ(fnmatch(row.box.c_str(), boxes[0].c_str(), FNM_NOESCAPE), 0)
            << boxes[0] << "\nis not " << row.box;
        EXPECT_FALSE(result.timedOut);
        EXPECT_NE(result.exitCode, 0);
        EXPECT_FALSE(fs::exists(LogFile()));
    }
}

TEST_F(Startup, AWindowManagerCloseEndsTheLauncherAsEscapeDoes) {
    Vellmar::Testing::PrivateXServer server;
    if (server.name.empty())
        GTEST_SKIP() << "no Xvfb";
    WriteConfig("setup", "<VellmarApp><pages default='a'><page name='a'/></pages></VellmarApp>");
    bool sent = false;
    std::thread windowManager([&] { sent = CloseFirstWindow(server.name); });
    const auto result = Run(exe, {}, "C", {{"QT_QPA_PLATFORM", "xcb"}, {"DISPLAY", server.name}});
    windowManager.join();
    EXPECT_TRUE(sent);
    EXPECT_FALSE(result.timedOut);
    EXPECT_EQ(result.exitCode, 0) << result.err;
}

// The configuration is found beside a parent folder, its variables name these folders, and a
// program in one of them runs.
TEST_F(Startup, InstallFoldersInEveryScript) {
    // Latin, Cyrillic and CJK letters, and a space, in one install folder.
    const std::string folder =
        "Jeux \u00c9ditions/\u0418\u0433\u0440\u044b Gr\u00f6\u00dfe \u65e5\u672c";
    WriteConfig(folder, "<VellmarApp><application><languagetable><strings language='en'>"
                        "<string name='saves'>${EXE_DIR}\\..\\Sauv\u00e9 \u0421\u043e\u0445\u0440 "
                        "\u4fdd\u5b58</string></strings></languagetable><initialization>"
                        "<init action='createdir' value='saves'/>"
                        "<init action='execute' file='${EXE_DIR}\\..\\Outils\\marqu\u00e9.sh'/>"
                        "<init action='system' value='close'/>"
                        "</initialization></application></VellmarApp>");
    const fs::path tool =
        dir.Write("disc/" + folder + "/Outils/marqu\u00e9.sh", "#!/bin/sh\n: > \"$0.ran\"\n");
    fs::permissions(tool, fs::perms::owner_exec, fs::perm_options::add);
    const std::string nested = Install(folder + "/bin");
    const auto result = Run(nested, {"/log"});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_TRUE(LinesStartingWith(result.err, "MessageBox:").empty()) << result.err;
    EXPECT_TRUE(fs::is_directory(dir / "disc" / folder /
                                 "Sauv\u00e9 \u0421\u043e\u0445\u0440 \u4fdd\u5b58"));
    EXPECT_TRUE(Vellmar::Testing::WaitUntil([&] { return fs::exists(tool.string() + ".ran"); }));
    EXPECT_NE(ReadLog().find("] - Exe: " + nested + " v\r\n"), std::string::npos) << ReadLog();
}

TEST_F(Startup, LogSwitchAppendsAndIsCaseSensitive) {
    WriteConfig("setup", kEmptyConfig);
    EXPECT_EQ(Run(exe, {"/LOG"}).exitCode, 0);
    EXPECT_FALSE(fs::exists(LogFile()));

    // Switches the toolkit would take for itself belong to the configuration too.
    EXPECT_EQ(Run(exe, {"/log", "extra", "-reverse", "-style", "fusion", "-stylesheet=x.qss",
                        "-widgetcount", "-name", "X"})
                  .exitCode,
              0);
    // The configuration's strings caption later errors; a run with an error ends its log too.
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
    const auto result = Run(exe, {"/log"}, "de_DE.UTF-8");
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(LinesStartingWith(result.err, "MessageBox:"),
              std::vector<std::string>{"MessageBox: Achtung: Timed action already set."});
    const std::string log = ReadLog();
    for (const char* expected :
         {"] Log started\r\n", "] - Exe: ", "] - Command line: ",
          "/autorun /log extra -reverse -style fusion -stylesheet=x.qss -widgetcount -name X\r\n",
          "] Log ended\r\n\r\n\r\n\r\n"}) {
        EXPECT_NE(log.find(expected), std::string::npos) << expected << "\n" << log;
    }
    for (const char* twice : {"] Log started\r\n", "] Log ended\r\n"})
        EXPECT_NE(log.find(twice), log.rfind(twice)) << "the second run appends: " << twice;
}

// A full disk (here a log that is /dev/full) loses the log's lines, never the run, also where
// a failed queue logs that its run was abandoned.
TEST_F(Startup, LogThatCannotBeWrittenLosesLinesNotTheRun) {
    WriteConfig("setup",
                "<VellmarApp><application><initialization>"
                "<init action='actionqueue' value='q'/><init action='system' value='close'/>"
                "</initialization></application><actionqueues><actionqueue name='q'>"
                "<action action='page' value='none' delay='1x'/></actionqueue>"
                "</actionqueues></VellmarApp>");
    fs::create_directories(LogFile().parent_path());
    fs::create_symlink("/dev/full", LogFile());
    const auto result = Run(exe, {"/log"});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(LinesStartingWith(result.err, "Could not"),
              std::vector<std::string>{"Could not write log file: " + LogFile().string() +
                                       ": No space left on device; lines are dropped"});
    EXPECT_TRUE(LinesStartingWith(result.err, "MessageBox:").empty()) << result.err;
}

TEST_F(Startup, WithoutADisplayOneLineInsteadOfAnAbort) {
    WriteConfig("setup", kEmptyConfig);
    for (const auto& [x11, wayland, reason] :
         {std::tuple{"", "", "neither DISPLAY nor WAYLAND_DISPLAY is set"},
          std::tuple{":31999", "", "DISPLAY=:31999 does not answer"},
          std::tuple{"", "vellmar-none", "WAYLAND_DISPLAY=vellmar-none does not answer"}}) {
        const auto result = Run(exe, {}, "C",
                                {{"QT_QPA_PLATFORM", ""},
                                 {"XDG_RUNTIME_DIR", dir.Path().string()},
                                 {"DISPLAY", x11},
                                 {"WAYLAND_DISPLAY", wayland}});
        EXPECT_EQ(result.exitCode, 1) << result.err;
        EXPECT_EQ(result.err, std::string("autorun: no display: ") + reason +
                                  " (start it from a desktop session, or set "
                                  "QT_QPA_PLATFORM=offscreen)\n");
    }
}

TEST_F(Startup, UsageBoxEndsBeforeAnythingElse) {
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

// Corrupt archives keep the old news: the news update and RAR tables prove that without a
// process of its own.
TEST_F(Startup, NewsUpdateReplacesTheNewsAndRemovesWhatAKilledLauncherLeft) {
    Vellmar::Testing::LoopbackHttpServer server;
    Vellmar::Testing::HttpRoute route;
    route.body = Vellmar::Testing::Rar4Writer().file("today.txt", "fresh news").bytes();
    route.mode = Vellmar::Testing::HttpRoute::Mode::SlowDrip;
    route.dripInterval = std::chrono::milliseconds(200);
    InstallNewsUpdate(server, route);
    dir.Write("disc/setup/news/old.txt", "stale");
    // Killed mid-download, as a logout would.
    EXPECT_TRUE(Run(exe, {}, "C", {}, std::chrono::seconds(5)).timedOut);
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
    const auto result = Run(exe, {"/log"});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    ::close(held);
    EXPECT_TRUE(WorkIn("tmp").empty());
    EXPECT_EQ(dir.List("disc/setup"),
              (std::vector<std::string>{live, "2d8b6e3a-4c5f-4a71-8cbd-2e3f4a5b6c7d", "autorun",
                                        "data", "libunrar.so", "news", "notes.vellmar-news"}));
    EXPECT_EQ(dir.List("disc/setup/news"), std::vector<std::string>{"today.txt"});
    EXPECT_EQ(dir.Read("disc/setup/news/today.txt"), "fresh news");
    const std::string log = ReadLog();
    for (const char* line : {"Checking internet connection status", "Attempting update",
                             "Committed ", "News update complete."})
        EXPECT_NE(log.find(line), std::string::npos) << line << "\n" << log;
}
