#include "tests/support/TempDir.h"

#include "support/CommitDirectory.h"
#include "support/Path.h"
#include "support/Text.h"
#include "support/VellmarException.h"

namespace fs = std::filesystem;

using namespace Vellmar;

class CommitDirectoryTest : public Vellmar::Testing::TempDirTest {
protected:
    void SetUp() override {
        TempDirTest::SetUp();
        dir.Write("staged/new.txt", "new");
    }
    void WriteOld() { dir.Write("news/old.txt", "old"); }
    std::vector<std::string> Names(const char* folder) { return dir.List(folder); }

    using Strings = std::vector<std::string>;
};

TEST_F(CommitDirectoryTest, OntoMissingLocationRenames) {
    CommitDirectory(dir.Wide("news"), dir.Wide("staged"));
    EXPECT_EQ(dir.List(), Strings{"news"});
    EXPECT_EQ(dir.Read("news/new.txt"), "new");
}

TEST_F(CommitDirectoryTest, OntoExistingLocationReplacesAndLeavesNothingBehind) {
    CommitMoves noExchange = DefaultCommitMoves();
    noExchange.exchange = [](const std::wstring&, const std::wstring&) { return false; };
    struct Case {
        const char* what;
        std::wstring location;
        CommitMoves moves;
        bool oldIsFile = false;
    };
    const std::vector<Case> cases{
        {"exchange", dir.Wide("news"), DefaultCommitMoves()},
        {"two renames", dir.Wide("news"), noExchange},
        {"windows spelling", dir.Wide() + L"\\NEWS\\", DefaultCommitMoves()},
        {"file, exchange", dir.Wide("news"), DefaultCommitMoves(), true},
        {"file, two renames", dir.Wide("news"), noExchange, true},
    };
    for (const Case& c : cases) {
        if (c.oldIsFile)
            dir.Write("news", "old file");
        else
            WriteOld();
        dir.Write("staged/new.txt", "new");
        const CommitLeftover leftover = CommitDirectory(c.location, dir.Wide("staged"), c.moves);
        EXPECT_EQ(leftover.path, L"") << c.what;
        EXPECT_EQ(dir.List(), Strings{"news"}) << c.what;
        EXPECT_EQ(Names("news"), Strings{"new.txt"}) << c.what;
        fs::remove_all(dir / "news");
    }
}

TEST_F(CommitDirectoryTest, OldEntryThatCannotBeRemovedIsReturnedNotThrown) {
    dir.Write("news", "old file");
    CommitMoves moves = DefaultCommitMoves();
    moves.remove = [](const std::wstring&) { throw IOException("cannot remove"); };
    const CommitLeftover leftover = CommitDirectory(dir.Wide("news"), dir.Wide("staged"), moves);
    EXPECT_EQ(Names("news"), Strings{"new.txt"});
    EXPECT_TRUE(fs::is_regular_file(Vellmar::WideToUtf8(leftover.path)));
    EXPECT_NE(leftover.error.find("cannot remove"), std::string::npos) << leftover.error;
}

TEST_F(CommitDirectoryTest, FailedFinalMovePutsOldFolderBack) {
    WriteOld();
    int renames = 0;
    CommitMoves failSecond = DefaultCommitMoves();
    failSecond.exchange = [](const std::wstring&, const std::wstring&) { return false; };
    failSecond.rename = [&](const std::wstring& from, const std::wstring& to) {
        if (++renames == 2)
            throw Win32::Win32Exception("Rename failed", EACCES);
        Rename(from, to);
    };
    EXPECT_THROW(CommitDirectory(dir.Wide("news"), dir.Wide("staged"), failSecond),
                 Win32::Win32Exception);
    EXPECT_EQ(renames, 3) << "aside, failed move, restore";
    EXPECT_EQ(dir.List(), (Strings{"news", "staged"}));
    EXPECT_EQ(Names("news"), Strings{"old.txt"});
}

TEST_F(CommitDirectoryTest, FailedExchangeChangesNothing) {
    WriteOld();
    CommitMoves failing = DefaultCommitMoves();
    failing.exchange = [](const std::wstring&, const std::wstring&) -> bool {
        throw Win32::Win32Exception("Rename failed", EIO);
    };
    EXPECT_THROW(CommitDirectory(dir.Wide("news"), dir.Wide("staged"), failing),
                 Win32::Win32Exception);
    EXPECT_EQ(dir.List(), (Strings{"news", "staged"}));
    EXPECT_EQ(Names("news"), Strings{"old.txt"});
}

TEST_F(CommitDirectoryTest, MissingNewFolderLeavesOldInPlace) {
    WriteOld();
    fs::remove_all(dir / "staged");
    EXPECT_THROW(CommitDirectory(dir.Wide("news"), dir.Wide("staged")), FileNotFoundException);
    EXPECT_EQ(dir.List(), Strings{"news"});
    EXPECT_EQ(Names("news"), Strings{"old.txt"});
}
