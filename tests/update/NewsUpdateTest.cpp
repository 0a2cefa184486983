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
#include <thread>

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using Vellmar::Testing::HttpRoute;
using Vellmar::Testing::LoopbackHttpServer;
using Vellmar::Testing::Rar4Writer;
using Vellmar::Testing::Rar5Writer;
using Vellmar::Testing::ReadFile;
using Mode = HttpRoute::Mode;

namespace {

using Tree = std::map<std::string, std::string>;

const std::string kUnicodeName = "\u00fcber.txt";

const Tree kOldNews{{"old.txt", "file:yesterday"}, {"img", "dir"}, {"img/a.bmp", "file:BM-old"}};
const Tree kNewNews{{"index.html", "file:<p>today</p>"},
                    {"img", "dir"},
                    {"img/b.bmp", "file:" + std::string("BM\0\x01\x02", 5)},
                    {kUnicodeName, "file:umlaut"}};

template <typename Writer> std::string NewsArchive() {
    Writer writer;
    writer.file("index.html", "<p>today</p>").folder("img");
    writer.file("img/b.bmp", std::string("BM\0\x01\x02", 5)).file(kUnicodeName, "umlaut");
    return writer.bytes();
}

std::string HostileArchive() {
    return Rar4Writer().file("index.html", "fine").file("../escaped.txt", "evil").bytes();
}

HttpRoute Serve(std::string body, int status = 200, Mode mode = Mode::Respond) {
    return {.mode = mode, .status = status, .body = std::move(body), .extraHeaders = {}};
}

enum class Outcome { Success, Failure };
enum class Old { None, Folder };

struct JobCase {
    const char* name;
    HttpRoute route;
    Outcome outcome;
    int requests; // reaching the server
    std::string scheme = "http";
    Old old = Old::Folder;
    bool failFinalRename = false;
    std::wstring location = L"${EXE_DIR}/site/news";
};

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
        // A drip of 20 bytes a second passes the low-speed rule; the total time ends it.
        options.limits = {
            .connectTimeout = 2s, .lowSpeedTime = 1s, .maxBodyBytes = 1 << 20, .totalTimeBase = 1s};
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
        engine->Start(
            &host,
            WriteConfiguration(L"<conditions><condition name='news' type='newsupdate' "
                               L"location='" +
                               location + L"' URL='" + Vellmar::Utf8ToWide(url) +
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
            contents == "dir" ? (void)fs::create_directories(dir / "site/news" / name)
                              : (void)dir.Write("site/news/" + name, contents.substr(5));
    server.Route("/news.rar", c.route);
    if (c.failFinalRename) {
        options.moves.exchange = [](const std::wstring&, const std::wstring&) { return false; };
        options.moves.rename = [](const std::wstring& from, const std::wstring& to) {
            if (fs::exists(fs::path(Vellmar::WideToUtf8(from)) / "index.html"))
                throw Vellmar::IOException("Rename failed: " + Vellmar::WideToUtf8(to));
            Vellmar::Rename(from, to);
        };
    }

    RunCondition(c.scheme + "://127.0.0.1:${NEWS_PORT}/news.rar", c.location);
    const auto pages = Finish();

    const auto requests = server.Requests();
    EXPECT_EQ(requests.size(), static_cast<std::size_t>(c.requests));
    for (const auto& request : requests)
        EXPECT_EQ(request.requestLine, "GET /news.rar HTTP/1.1");
    const auto messages = recorder.Messages();
    const auto attempts = std::count(messages.begin(), messages.end(), "Attempting download");
    EXPECT_EQ(attempts, c.scheme == "ftp" ? 3 : c.requests) << "each attempt has its own name";
    EXPECT_TRUE(fs::is_empty(dir / "tmp")) << "a downloaded file was left behind";
    const bool ok = c.outcome == Outcome::Success;
    EXPECT_EQ(pages, std::vector<std::wstring>{ok ? L"ShowPage(ok)" : L"ShowPage(failed)"});
    EXPECT_EQ(Vellmar::Testing::Snapshot(dir / "site/news"), ok                     ? kNewNews
                                                             : c.old == Old::Folder ? kOldNews
                                                                                    : Tree{});
    EXPECT_EQ(dir.List("site"), ok || c.old == Old::Folder ? std::vector<std::string>{"news"}
                                                           : std::vector<std::string>{})
        << "an unpack folder was left behind";
    EXPECT_TRUE(Logged(ok ? "News update complete." : "News update failed."));
    EXPECT_FALSE(fs::exists(dir / "escaped.txt"));
    EXPECT_FALSE(fs::exists(dir / "site/escaped.txt"));
}

INSTANTIATE_TEST_SUITE_P(
    Jobs, NewsUpdateTable,
    ::testing::Values(
        JobCase{"ReplacesOldFolder", Serve(NewsArchive<Rar4Writer>()), Outcome::Success, 1},
        JobCase{"LocationEndsInSeparator", Serve(NewsArchive<Rar4Writer>()), Outcome::Success, 1,
                "http", Old::Folder, false, L"${EXE_DIR}\\site\\news\\"},
        JobCase{"Rar5Archive", Serve(NewsArchive<Rar5Writer>()), Outcome::Success, 1},
        JobCase{"NotFoundAfterOneAttempt", Serve("gone", 404), Outcome::Failure, 1},
        JobCase{"ServerErrorThreeAttempts", Serve("oops", 500), Outcome::Failure, 3},
        JobCase{"FtpRefusedAtOnce", Serve(NewsArchive<Rar4Writer>()), Outcome::Failure, 0, "ftp"},
        JobCase{"CorruptArchive",
                Serve(Rar4Writer().add({.name = "x", .data = "abc", .badDataCrc = true}).bytes()),
                Outcome::Failure, 1},
        JobCase{"HostileArchive", Serve(HostileArchive()), Outcome::Failure, 1},
        JobCase{"HostileArchiveNoOldFolder", Serve(HostileArchive()), Outcome::Failure, 1, "http",
                Old::None},
        JobCase{"FailingFinalRename", Serve(NewsArchive<Rar4Writer>()), Outcome::Failure, 1, "http",
                Old::Folder, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(NewsUpdateJobTest, MissingLibraryInBinariesDirFailsAndCleansUp) {
    context.strings.SetBuiltInVariable(L"BINARIES_DIR", dir.Wide("nolib"));
    server.Route("/news.rar", Serve(NewsArchive<Rar4Writer>()));
    RunCondition("http://127.0.0.1:${NEWS_PORT}/news.rar");
    EXPECT_EQ(Finish(), std::vector<std::wstring>{L"ShowPage(failed)"});
    EXPECT_TRUE(Logged("- unrardll: " + (dir / "nolib/libunrar.so").string()));
    EXPECT_TRUE(fs::is_empty(dir / "tmp"));
    EXPECT_TRUE(fs::is_empty(dir / "site"));
}

TEST_F(NewsUpdateJobTest, DestroyingTheEngineDuringAStallReturnsPromptly) {
    options.limits.lowSpeedTime = 600s; // only the abort can end this transfer
    options.limits.totalTimeBase = 600s;
    server.Route("/news.rar", Serve(NewsArchive<Rar4Writer>(), 200, Mode::StallAfterHeaders));
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
