#include "tests/support/TempDir.h"
#include "tests/supportlib/Thrown.h"

#include "support/FileLogHandler.h"
#include "support/LogManager.h"
#include "support/LogRecord.h"
#include "support/Logger.h"
#include "support/MethodTrace.h"
#include "support/StreamLogHandler.h"
#include "support/SummaryLogFormatter.h"
#include "support/Text.h"
#include "support/VellmarException.h"

#include <boost/date_time/posix_time/posix_time_types.hpp>

#include <array>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <functional>
#include <regex>
#include <sstream>
#include <thread>

namespace fs = std::filesystem;

using namespace Vellmar::Diagnostics;
using Vellmar::Testing::ThrownMessage;

namespace {

// Keeps whatever its loggers hand it.
class CapturingHandler : public LogHandler {
public:
    void publish(const LogRecord& record) override { records.push_back(record); }
    std::vector<LogRecord> records;
};

std::wstring UniqueName(const std::wstring& stem) {
    static int counter = 0;
    return stem + std::to_wstring(++counter);
}

} // namespace

class LoggingTest : public Vellmar::Testing::TempDirTest {
protected:
    void SetUp() override {
        ::setenv("TZ", "UTC", 1);
        ::tzset();
        rootLogger = LogManager::getLogger(L"");
        rootLogger->setLevel(3);
        stream.setLevel(3);
        stream.setFormatter(&formatter);
        rootLogger->addHandler(&stream);
    }
    void TearDown() override {
        rootLogger->removeHandler(&stream);
        rootLogger->clearLevel();
    }
    void Attach(FileLogHandler& file, int level = 3) {
        file.setLevel(level);
        file.setFormatter(&formatter);
        rootLogger->addHandler(&file);
    }

    std::shared_ptr<Logger> rootLogger;
    SummaryLogFormatter formatter;
    std::wostringstream text;
    StreamLogHandler stream{&text};
};

TEST_F(LoggingTest, SameNameGivesSameLoggerAndEmptyComponentsAreDropped) {
    const std::wstring name = UniqueName(L"tree");
    const auto logger = LogManager::getLogger(name + L".child");
    EXPECT_EQ(logger, LogManager::getLogger(name + L".child"));
    EXPECT_EQ(logger, LogManager::getLogger(name + L"..child."));
    EXPECT_EQ(rootLogger, LogManager::getLogger(L"."));
    EXPECT_NE(logger, LogManager::getLogger(name));
}

TEST_F(LoggingTest, EffectiveLevelComesFromNearestAncestorWithALevel) {
    const std::wstring name = UniqueName(L"levels");
    // Ancestors registered after the leaf still count.
    const auto leaf = LogManager::getLogger(name + L".a.b");
    const auto parent = LogManager::getLogger(name);
    // Levels of root, parent, leaf (0 for parent and leaf: inherit), then the effective level.
    const std::array<int, 4> cases[] = {{3, 0, 0, 3}, {0, 0, 0, 0}, {3, 7, 0, 7}, {7, 2, 1, 1}};
    for (const auto& c : cases) {
        rootLogger->setLevel(c[0]);
        c[1] ? parent->setLevel(c[1]) : parent->clearLevel();
        c[2] ? leaf->setLevel(c[2]) : leaf->clearLevel();
        EXPECT_EQ(leaf->getEffectiveLevel(), c[3]) << c[0] << " " << c[1] << " " << c[2];
    }
    leaf->clearLevel();
    const auto middle = LogManager::getLogger(name + L".a");
    middle->setLevel(5);
    EXPECT_EQ(leaf->getEffectiveLevel(), 5);
    middle->clearLevel();
    rootLogger->setLevel(3);
    parent->clearLevel();
    for (int level : {1, 2, 3, 7})
        EXPECT_EQ(leaf->isEnabledFor(level), level <= 3) << level;
    rootLogger->setLevel(0);
    for (int level : {-1, 0, 1, 3})
        EXPECT_FALSE(leaf->isEnabledFor(level)) << "level 0 accepts nothing: " << level;
}

TEST_F(LoggingTest, FormatsTimeStampPrefixAndLoggerName) {
    const std::tuple<int, std::wstring, std::wstring> cases[] = {
        {3, L"", L"boom"},
        {2, L"autorun.CheckNewsUpdate", L"(autorun.CheckNewsUpdate) WARNING: boom"}};
    for (const auto& [level, loggerName, expected] : cases) {
        LogRecord record(level, L"boom");
        record.loggerName = loggerName;
        record.time = boost::posix_time::ptime(boost::gregorian::date(2026, 12, 5),
                                               boost::posix_time::time_duration(19, 28, 5));
        EXPECT_EQ(formatter.format(record), L"[Sat Dec 05 19:28:05 2026] " + expected);
    }
    LogRecord early(3, L"x");
    ::setenv("TZ", "EST5", 1);
    ::tzset();
    early.time = boost::posix_time::ptime(boost::gregorian::date(2027, 1, 1),
                                          boost::posix_time::time_duration(3, 4, 9));
    EXPECT_EQ(formatter.format(early), L"[Thu Dec 31 22:04:09 2026] x") << "local time";
}

TEST_F(LoggingTest, NamedLoggerReachesRootWithoutNameAndOwnHandlersWithName) {
    const std::wstring name = UniqueName(L"chain");
    const auto middle = LogManager::getLogger(name);
    const auto leaf = LogManager::getLogger(name + L".worker");
    CapturingHandler middleCapture;
    middle->addHandler(&middleCapture);

    leaf->log(3, L"hello");
    leaf->log(7, L"trace never written");
    leaf->log(1, L"bad");
    middle->removeHandler(&middleCapture);

    ASSERT_EQ(middleCapture.records.size(), 2u);
    EXPECT_EQ(middleCapture.records[0].loggerName, name);
    EXPECT_LT(middleCapture.records[0].sequenceNumber, middleCapture.records[1].sequenceNumber);

    const std::wstring lines = text.str();
    EXPECT_EQ(lines.find(L"("), std::wstring::npos) << "root shows no logger name";
    EXPECT_EQ(lines.find(L"trace"), std::wstring::npos);
    const std::wregex expected(L"\n\\[\\w{3} \\w{3} \\d\\d \\d\\d:\\d\\d:\\d\\d \\d{4}\\] hello\n"
                               L"\\[[^\\]]+\\] ERROR: bad\n");
    EXPECT_TRUE(std::regex_match(lines, expected)) << lines;
}

TEST_F(LoggingTest, MethodTraceLogsEntryAndExitAtLevelSevenOnly) {
    const auto logger = LogManager::getLogger(UniqueName(L"trace"));
    CapturingHandler capture;
    logger->addHandler(&capture);
    // clang-format off
    const std::pair<int, std::vector<std::wstring>> cases[] = {{3, {L"inside"}},
        {7, {L"Entering method CheckNewsUpdate::Run", L"inside",
             L"Exiting method CheckNewsUpdate::Run"}}};
    // clang-format on
    for (const auto& [level, expected] : cases) {
        capture.records.clear();
        logger->setLevel(level);
        {
            MethodTrace trace(logger, L"CheckNewsUpdate", L"Run");
            if (trace.isEnabledFor(3))
                trace.log(3, L"inside");
        }
        std::vector<std::wstring> messages;
        for (const LogRecord& record : capture.records) {
            messages.push_back(record.message);
            EXPECT_EQ(record.className + L"::" + record.methodName, L"CheckNewsUpdate::Run");
        }
        EXPECT_EQ(messages, expected) << level;
    }
    logger->removeHandler(&capture);
}

TEST_F(LoggingTest, RecordCopiesCloneTheAttachedException) {
    LogRecord record(1, L"failed");
    record.thrown = std::make_unique<Vellmar::FileNotFoundException>();
    const LogRecord copy(record);
    ASSERT_NE(copy.thrown, nullptr);
    EXPECT_NE(copy.thrown.get(), record.thrown.get());
    EXPECT_NE(dynamic_cast<const Vellmar::FileNotFoundException*>(copy.thrown.get()), nullptr);
}

TEST_F(LoggingTest, FileHandlerAppendsAfterOneEmptyLineTruncatesOrThrowsWithPath) {
    dir.Write("Documents/autorun.log", "old line\r\n");
    // Written the Windows way, with a folder whose case differs.
    FileLogHandler file(dir.Wide() + L"\\DOCUMENTS\\autorun.log", true);
    Attach(file);
    rootLogger->log(3, L"Stra\u00dfe \u65e5\u672c");
    rootLogger->log(2, L"second");
    rootLogger->removeHandler(&file);

    const std::string content = dir.Read("Documents/autorun.log");
    const std::regex expected("old line\r\n\r\n\\[[^\\]]+\\] Stra\xc3\x9f"
                              "e \xe6\x97\xa5\xe6\x9c\xac\r\n"
                              "\\[[^\\]]+\\] WARNING: second\r\n");
    EXPECT_TRUE(std::regex_match(content, expected)) << content;
    FileLogHandler truncating(dir.Wide("Documents/autorun.log"), false);
    EXPECT_EQ(dir.Read("Documents/autorun.log"), "");
    EXPECT_EQ(ThrownMessage<LogException>(
                  [&] { FileLogHandler missing(dir.Wide("missing/dir/x.log"), true); }),
              "Could not open log file: " + (dir / "missing/dir/x.log").string());
}

// A log that fails during a run drops its lines, says so once on stderr and never throws. A full
// disk, where the writes rather than the opens fail, is the launcher's own test (tests_app).
TEST_F(LoggingTest, LogThatFailsLaterDropsLinesAndReportsOnce) {
    rootLogger->setLevel(7);
    const std::string path = dir.Write("gone/x.log", "").string();
    FileLogHandler file(Vellmar::Utf8ToWide(path), true);
    Attach(file, 7);
    fs::remove_all(dir / "gone");
    ::testing::internal::CaptureStderr();
    EXPECT_NO_THROW({
        MethodTrace trace(rootLogger, L"ActionEngine", L"Run");
        trace.log(3, L"Run abandoned: first");
        rootLogger->log(3, L"second");
    });
    const std::string err = ::testing::internal::GetCapturedStderr();
    rootLogger->removeHandler(&file);
    EXPECT_EQ(err, "Could not write log file: " + path + ": " + std::strerror(ENOENT) +
                       "; lines are dropped\n");
}

TEST_F(LoggingTest, TwoThreadsWriteWholeLines) {
    FileLogHandler file(dir.Wide("threads.log"), true);
    rootLogger->removeHandler(&stream);
    Attach(file);
    const auto worker = LogManager::getLogger(UniqueName(L"autorun.Worker"));
    constexpr int kLines = 2000;
    auto run = [&](Logger& logger, const std::wstring& tag) {
        for (int i = 0; i < kLines; ++i)
            if (logger.isEnabledFor(3))
                logger.log(3, tag + L" line " + std::to_wstring(i) + L" with some padding text");
    };
    std::thread a(run, std::ref(*rootLogger), L"ui");
    std::thread b(run, std::ref(*worker), L"worker");
    a.join();
    b.join();
    rootLogger->removeHandler(&file);

    std::istringstream content(dir.Read("threads.log"));
    const std::regex line("\\[[^\\]]+\\] (ui|worker) line (\\d+) with some padding text\r");
    std::string text;
    std::getline(content, text);
    EXPECT_EQ(text, "\r");
    std::map<std::string, int> next{{"ui", 0}, {"worker", 0}};
    int whole = 0;
    while (std::getline(content, text)) {
        std::smatch m;
        ASSERT_TRUE(std::regex_match(text, m, line)) << "broken line: " << text;
        EXPECT_EQ(std::stoi(m[2]), next[m[1]]++) << "per-thread order";
        ++whole;
    }
    EXPECT_EQ(whole, 2 * kLines);
}
