#include "tests/support/TempDir.h"

#include "support/CommitDirectory.h"
#include "support/Path.h"
#include "support/Text.h"
#include "support/VellmarException.h"

namespace fs = std::filesystem;

using namespace Vellmar;

namespace {

using Strings = std::vector<std::string>;

CommitMoves Without(bool exchange) {
    CommitMoves moves = DefaultCommitMoves();
    if (!exchange)
        moves.exchange = [](const std::wstring&, const std::wstring&) { return false; };
    return moves;
}

class CommitDirectoryTest : public Vellmar::Testing::TempDirTest {
protected:
    void SetUp() override { dir.Write("staged/new.txt", "new"); }
    // After a failure: both folders where they were, the old one untouched.
    void ExpectOldInPlace(const Strings& top = {"news", "staged"}) {
        EXPECT_EQ(dir.List(), top);
        EXPECT_EQ(dir.List("news"), Strings{"old.txt"});
    }
};

TEST_F(CommitDirectoryTest, ReplacesWhateverIsThereAndLeavesNothingBehind) {
    enum Old { None, Folder, File };
    const std::tuple<const char*, std::wstring, bool, Old> cases[] = {
        {"missing", dir.Wide("news"), true, None},
        {"exchange", dir.Wide("news"), true, Folder},
        {"two renames", dir.Wide("news"), false, Folder},
        {"windows spelling", dir.Wide() + L"\\NEWS\\", true, Folder},
        {"file, exchange", dir.Wide("news"), true, File},
        {"file, two renames", dir.Wide("news"), false, File},
    };
    for (const auto& [what, location, exchange, old] : cases) {
        if (old != None)
            dir.Write(old == File ? "news" : "news/old.txt", "old");
        dir.Write("staged/new.txt", "new");
        const CommitLeftover leftover =
            CommitDirectory(location, dir.Wide("staged"), Without(exchange));
        EXPECT_EQ(leftover.path, L"") << what;
        EXPECT_EQ(dir.List(), Strings{"news"}) << what;
        EXPECT_EQ(dir.List("news"), Strings{"new.txt"}) << what;
        EXPECT_EQ(dir.Read("news/new.txt"), "new") << what;
        fs::remove_all(dir / "news");
    }
}

TEST_F(CommitDirectoryTest, OldEntryThatCannotBeRemovedIsReturnedNotThrown) {
    dir.Write("news", "old file");
    CommitMoves moves = DefaultCommitMoves();
    moves.remove = [](const std::wstring&) { throw IOException("cannot remove"); };
    const CommitLeftover leftover = CommitDirectory(dir.Wide("news"), dir.Wide("staged"), moves);
    EXPECT_EQ(dir.List("news"), Strings{"new.txt"});
    EXPECT_TRUE(fs::is_regular_file(Vellmar::WideToUtf8(leftover.path)));
    EXPECT_NE(leftover.error.find("cannot remove"), std::string::npos) << leftover.error;
}

TEST_F(CommitDirectoryTest, FailedFinalMovePutsOldFolderBack) {
    dir.Write("news/old.txt", "old");
    int renames = 0;
    CommitMoves failSecond = Without(false);
    failSecond.rename = [&](const std::wstring& from, const std::wstring& to) {
        if (++renames == 2)
            throw Win32::Win32Exception("Rename failed", EACCES);
        Rename(from, to);
    };
    EXPECT_THROW(CommitDirectory(dir.Wide("news"), dir.Wide("staged"), failSecond),
                 Win32::Win32Exception);
    EXPECT_EQ(renames, 3) << "aside, failed move, restore";
    ExpectOldInPlace();
}

TEST_F(CommitDirectoryTest, FailedExchangeOrMissingNewFolderChangesNothing) {
    dir.Write("news/old.txt", "old");
    CommitMoves failing = DefaultCommitMoves();
    failing.exchange = [](const std::wstring&, const std::wstring&) -> bool {
        throw Win32::Win32Exception("Rename failed", EIO);
    };
    EXPECT_THROW(CommitDirectory(dir.Wide("news"), dir.Wide("staged"), failing),
                 Win32::Win32Exception);
    ExpectOldInPlace();
    fs::remove_all(dir / "staged");
    EXPECT_THROW(CommitDirectory(dir.Wide("news"), dir.Wide("staged")), FileNotFoundException);
    ExpectOldInPlace({"news"});
}

} // namespace
