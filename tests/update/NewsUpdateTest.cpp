#include "update/CheckNewsUpdate.h"

#include "engine/ActionEngine.h"
#include "platform/RegistryStore.h"
#include "platform/RegistryValue.h"
#include "support/LogManager.h"
#include "support/Logger.h"
#include "support/Path.h"
#include "support/Text.h"
#include "support/VellmarException.h"
#include "tests/support/LauncherSandbox.h"
#include "tests/support/LoopbackHttpServer.h"
#include "tests/support/Rar4Writer.h"
#include "tests/support/Rar5Writer.h"
#include "tests/support/RecordingLogHandler.h"
#include "tests/support/ScopedEnv.h"
#include "tests/support/StubHost.h"
#include "tests/support/TempDir.h"
#include "tests/support/Wait.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <ostream>
#include <thread>

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using Vellmar::Testing::HttpRoute;
using Vellmar::Testing::LoopbackHttpServer;
using Vellmar::Testing::Rar4Writer;
using Vellmar::Testing::ReadFile;
using Mode = HttpRoute::Mode;

namespace {

// Relative path -> contents, "/" for a folder.
using Tree = std::map<std::string, std::string>;

Tree Snapshot(const fs::path& root) {
    Tree tree;
    if (!fs::exists(root))
        return tree;
    for (const auto& entry : fs::recursive_directory_iterator(root))
        tree[fs::relative(entry.path(), root).string()] =
            entry.is_directory() ? "/" : ReadFile(entry.path());
    return tree;
}

std::vector<std::string> Entries(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

const std::string kUnicodeName = "\xC3\xBC"
                                 "ber.txt";

const Tree kOldNews{{"old.txt", "yesterday"}, {"img", "/"}, {"img/a.bmp", "BM-old"}};
const Tree kNewNews{{"index.html", "<p>today</p>"},
                    {"img", "/"},
                    {"img/b.bmp", std::string("BM\0\x01\x02", 5)},
                    {kUnicodeName, "umlaut"}};

std::string NewsArchive() {
    Rar4Writer writer;
    writer.file("index.html", kNewNews.at("index.html")).folder("img");
    writer.file("img/b.bmp", kNewNews.at("img/b.bmp"));
    writer.file(kUnicodeName, kNewNews.at(kUnicodeName));
    return writer.bytes();
}

std::string CorruptArchive() {
    Rar4Writer writer;
    writer.add({.name = "index.html", .data = "<p>today</p>", .badDataCrc = true});
    return writer.bytes();
}

std::string Rar5NewsArchive(bool flipDataByte = false) {
    Vellmar::Testing::Rar5Writer writer;
    writer.file("index.html", kNewNews.at("index.html")).folder("img");
    writer.file("img/b.bmp", kNewNews.at("img/b.bmp"));
    writer.file(kUnicodeName, kNewNews.at(kUnicodeName));
    std::string bytes = writer.bytes();
    if (flipDataByte)
        bytes[bytes.find("today")] ^= 1;
    return bytes;
}

std::string HostileArchive() {
    return Rar4Writer().file("index.html", "fine").file("../escaped.txt", "evil").bytes();
}

HttpRoute Serve(std::string body, int status = 200, Mode mode = Mode::Respond) {
    HttpRoute route;
    route.mode = mode;
    route.status = status;
    route.body = std::move(body);
    return route;
}

HttpRoute Endless() {
    HttpRoute route = Serve("", 200, Mode::Endless);
    return route;
}

enum class Outcome { Success, Failure };
enum class Old { None, Folder, File };

struct JobCase {
    const char* name;
    HttpRoute route;
    Outcome outcome;
    int requests; // reaching the server
    std::string target = "/news.rar";
    std::string scheme = "http";
    Old old = Old::Folder;
    bool failFinalRename = false;
    std::wstring location = L"${EXE_DIR}/site/news";
};

void PrintTo(const JobCase& c, std::ostream* out) {
    *out << c.name;
}

std::string CaseName(const ::testing::TestParamInfo<JobCase>& info) {
    return info.param.name;
}

} // namespace

// A news update started by the `newsupdate` condition of a real engine on a stub window, against
// the loopback server; the news folder is <sandbox>/site/news.
class NewsUpdateJobTest : public Vellmar::Testing::LauncherSandbox {
protected:
    NewsUpdateJobTest()
        : LauncherSandbox("vellmar-Nouvelles-\u30cb\u30e5\u30fc\u30b9"),
          temp("TMPDIR", (dir / "tmp").string()) {
        fs::create_directories(dir / "tmp");
        fs::create_directories(dir / "site");
        // The machine running the tests may be offline; the dedicated flag skips the probe.
        Vellmar::Platform::RegistryStore().WriteValue(
            Vellmar::Platform::RegistryRoot::CurrentUser, L"Software\\Vellmar",
            L"DedicatedInternetConnection", Vellmar::Platform::RegistryValue::Dword(1));
        context.strings.SetBuiltInVariable(L"NEWS_PORT", std::to_wstring(server.Port()));
        options.limits.connectTimeout = 2s;
        options.limits.lowSpeedTime = 1s;
        options.limits.maxBodyBytes = 1 << 20;
        // A drip of 20 bytes a second passes the low-speed rule; this ends it.
        options.limits.totalTimeBase = 1s;
        ActionEngine::SetNewsUpdateJobFactory([this](ActionEngine& target, NewsUpdateRequest r) {
            return std::make_unique<CheckNewsUpdate>(target, std::move(r), options);
        });
        logger->setLevel(3);
        recorder.setLevel(3);
        logger->addHandler(&recorder);
        host.Attach(*engine);
    }
    ~NewsUpdateJobTest() override {
        engine.reset();
        ActionEngine::SetNewsUpdateJobFactory(nullptr);
        logger->removeHandler(&recorder);
    }

    // Starts the engine on a configuration whose condition "news" fetches `url`, and runs it.
    void RunCondition(const std::string& url,
                      const std::wstring& location = L"${EXE_DIR}/site/news") {
        std::wstring escaped;
        for (char c : url)
            escaped += c == '&' ? std::wstring(L"&amp;") : std::wstring(1, c);
        engine->Start(
            &host,
            WriteConfiguration(L"<conditions><condition name='news' type='newsupdate' "
                               L"location='" +
                               location + L"' URL='" + escaped +
                               L"'><true action='page' value='ok'/>"
                               L"<false action='page' value='failed'/></condition></conditions>"));
        host.calls.clear();
        engine->RunCondition(L"news");
    }

    // Waits for the job's outcome and runs it as the window would; then destroys the engine,
    // which joins the worker.
    std::vector<std::wstring> Finish(std::chrono::seconds limit = 30s) {
        Vellmar::Testing::WaitUntil([&] { return host.postedAnnouncements > 0; }, limit);
        host.DeliverPosted();
        engine.reset();
        std::vector<std::wstring> pages;
        for (const std::wstring& call : host.calls)
            if (call.starts_with(L"ShowPage("))
                pages.push_back(call);
        return pages;
    }

    bool Logged(const std::string& message) {
        const auto messages = recorder.Messages();
        return std::find(messages.begin(), messages.end(), message) != messages.end();
    }

    Vellmar::Testing::ScopedEnv temp;
    LoopbackHttpServer server;
    NewsUpdateOptions options;
    std::shared_ptr<Vellmar::Diagnostics::Logger> logger =
        Vellmar::Diagnostics::LogManager::getLogger(L"autorun.CheckNewsUpdate");
    Vellmar::Testing::RecordingLogHandler recorder;
    Vellmar::Testing::StubHost host;
};

class NewsUpdateTable : public NewsUpdateJobTest, public ::testing::WithParamInterface<JobCase> {};

TEST_P(NewsUpdateTable, OutcomeAndFolders) {
    const JobCase& c = GetParam();
    if (c.old == Old::Folder)
        for (const auto& [name, contents] : kOldNews)
            contents == "/" ? (void)fs::create_directories(dir / "site/news" / name)
                            : (void)dir.Write("site/news/" + name, contents);
    if (c.old == Old::File)
        dir.Write("site/news", "a file in the way");
    server.Route(c.target, c.route);
    if (c.failFinalRename) {
        options.moves.exchange = [](const std::wstring&, const std::wstring&) { return false; };
        options.moves.rename = [](const std::wstring& from, const std::wstring& to) {
            if (fs::exists(fs::path(Vellmar::WideToUtf8(from)) / "index.html"))
                throw Vellmar::IOException("Rename failed: " + Vellmar::WideToUtf8(to));
            Vellmar::Rename(from, to);
        };
    }

    RunCondition(c.scheme + "://127.0.0.1:${NEWS_PORT}" + c.target, c.location);
    const auto pages = Finish();

    const auto requests = server.Requests();
    EXPECT_EQ(requests.size(), static_cast<std::size_t>(c.requests));
    for (const auto& request : requests)
        EXPECT_EQ(request.requestLine, "GET " + c.target + " HTTP/1.1");
    const auto messages = recorder.Messages();
    const auto attempts = std::count(messages.begin(), messages.end(), "Attempting download");
    EXPECT_EQ(attempts, c.scheme == "ftp" ? 3 : c.requests) << "each attempt has its own name";
    EXPECT_TRUE(fs::is_empty(dir / "tmp")) << "a downloaded file was left behind";
    if (c.outcome == Outcome::Success) {
        EXPECT_EQ(pages, std::vector<std::wstring>{L"ShowPage(ok)"});
        EXPECT_EQ(Snapshot(dir / "site/news"), kNewNews);
        EXPECT_EQ(Entries(dir / "site"), std::vector<std::string>{"news"});
        EXPECT_TRUE(Logged("News update complete."));
    } else {
        EXPECT_EQ(pages, std::vector<std::wstring>{L"ShowPage(failed)"});
        EXPECT_EQ(Snapshot(dir / "site/news"), c.old == Old::Folder ? kOldNews : Tree{});
        EXPECT_EQ(Entries(dir / "site"), c.old == Old::Folder ? std::vector<std::string>{"news"}
                                                              : std::vector<std::string>{})
            << "an unpack folder was left behind";
        EXPECT_TRUE(Logged("News update failed."));
    }
    EXPECT_FALSE(fs::exists(dir / "escaped.txt"));
    EXPECT_FALSE(fs::exists(dir / "site/escaped.txt"));
}

INSTANTIATE_TEST_SUITE_P(
    Jobs, NewsUpdateTable,
    ::testing::Values(
        JobCase{"ReplacesOldFolder", Serve(NewsArchive()), Outcome::Success, 1},
        JobCase{"NoOldFolder", Serve(NewsArchive()), Outcome::Success, 1, "/news.rar", "http",
                Old::None},
        JobCase{"PlainFileAtLocation", Serve(NewsArchive()), Outcome::Success, 1, "/news.rar",
                "http", Old::File},
        JobCase{"LocationEndsInSeparator", Serve(NewsArchive()), Outcome::Success, 1, "/news.rar",
                "http", Old::Folder, false, L"${EXE_DIR}\\site\\news\\"},
        JobCase{"Rar5Archive", Serve(Rar5NewsArchive()), Outcome::Success, 1},
        JobCase{"Rar5FlippedDataByte", Serve(Rar5NewsArchive(true)), Outcome::Failure, 1},
        JobCase{"PortAndQueryAsWritten", Serve(NewsArchive()), Outcome::Success, 1,
                "/feed/news.rar?lang=en&v=2"},
        JobCase{"NotFoundAfterOneAttempt", Serve("gone", 404), Outcome::Failure, 1},
        JobCase{"ServerErrorThreeAttempts", Serve("oops", 500), Outcome::Failure, 3},
        JobCase{"StallAfterHeaders", Serve(NewsArchive(), 200, Mode::StallAfterHeaders),
                Outcome::Failure, 3},
        JobCase{"ResetMidBody", Serve(NewsArchive(), 200, Mode::ResetMidBody), Outcome::Failure, 3},
        JobCase{"TruncatedBody", Serve(NewsArchive(), 200, Mode::TruncateBody), Outcome::Failure,
                3},
        JobCase{"EndlessBodyHitsCap", Endless(), Outcome::Failure, 3},
        JobCase{"TrickleHitsTheTotalTime", Serve(NewsArchive(), 200, Mode::SlowDrip),
                Outcome::Failure, 3},
        JobCase{"FtpRefusedAtOnce", Serve(NewsArchive()), Outcome::Failure, 0, "/news.rar", "ftp"},
        JobCase{"CorruptArchive", Serve(CorruptArchive()), Outcome::Failure, 1},
        JobCase{"HostileArchive", Serve(HostileArchive()), Outcome::Failure, 1},
        JobCase{"HostileArchiveNoOldFolder", Serve(HostileArchive()), Outcome::Failure, 1,
                "/news.rar", "http", Old::None},
        JobCase{"FailingFinalRename", Serve(NewsArchive()), Outcome::Failure, 1, "/news.rar",
                "http", Old::Folder, true}),
    CaseName);

TEST_F(NewsUpdateJobTest, SuccessLogsEveryStepInOrder) {
    server.Route("/news.rar", Serve(NewsArchive()));
    RunCondition("http://127.0.0.1:${NEWS_PORT}/news.rar");
    ASSERT_EQ(Finish(), std::vector<std::wstring>{L"ShowPage(ok)"});

    const std::string site = (dir / "site").string();
    const std::vector<std::string> expected{"Checking internet connection status",
                                            "Attempting update",
                                            "- location: " + site + "/news",
                                            "- news root: " + site,
                                            "- temp dir: " + (dir / "tmp").string() + "/",
                                            "Unpacking",
                                            "- opening rar",
                                            "- extracting: index.html",
                                            "Unpacked",
                                            "News update complete."};
    const auto messages = recorder.Messages();
    auto from = messages.begin();
    for (const std::string& line : expected) {
        from = std::find(from, messages.end(), line);
        ASSERT_NE(from, messages.end()) << "missing or out of order: " << line;
    }
}

TEST_F(NewsUpdateJobTest, MissingLibraryInBinariesDirFailsAndCleansUp) {
    context.strings.SetBuiltInVariable(L"BINARIES_DIR", dir.Wide("nolib"));
    server.Route("/news.rar", Serve(NewsArchive()));
    RunCondition("http://127.0.0.1:${NEWS_PORT}/news.rar");
    EXPECT_EQ(Finish(), std::vector<std::wstring>{L"ShowPage(failed)"});
    EXPECT_TRUE(Logged("- unrardll: " + (dir / "nolib/libunrar.so").string()));
    EXPECT_TRUE(fs::is_empty(dir / "tmp"));
    EXPECT_TRUE(fs::is_empty(dir / "site"));
}

TEST_F(NewsUpdateJobTest, DestroyingTheEngineDuringAStallReturnsPromptly) {
    options.limits.lowSpeedTime = 600s; // only the abort can end this transfer
    options.limits.totalTimeBase = 600s;
    server.Route("/news.rar", Serve(NewsArchive(), 200, Mode::StallAfterHeaders));
    RunCondition("http://127.0.0.1:${NEWS_PORT}/news.rar");
    ASSERT_TRUE(Vellmar::Testing::WaitUntil([&] { return !server.Requests().empty(); }, 10s));
    std::this_thread::sleep_for(200ms); // well into the stall

    const auto before = std::chrono::steady_clock::now();
    engine.reset();
    EXPECT_LT(std::chrono::steady_clock::now() - before, 1s);
    EXPECT_TRUE(Logged("News update failed."));
    EXPECT_EQ(host.postedAnnouncements, 0) << "nothing may reach a window that is gone";
    EXPECT_TRUE(fs::is_empty(dir / "tmp"));
}
