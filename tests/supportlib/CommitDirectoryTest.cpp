#include "TempFolder.h"

#include "support/CommitDirectory.h"
#include "support/Path.h"
#include "support/VellmarException.h"

using namespace Vellmar;

class CommitDirectoryTest : public TempFolder {
protected:
    void SetUp() override {
        TempFolder::SetUp();
        Write("staged/new.txt", "new");
    }
    void WriteOld() { Write("news/old.txt", "old"); }
    std::vector<std::string> Names(const char* folder) { return List(folder); }

    using Strings = std::vector<std::string>;
};

TEST_F(CommitDirectoryTest, OntoMissingLocationRenames) {
    CommitDirectory(W("news"), W("staged"));
    EXPECT_EQ(List(), Strings{"news"});
    EXPECT_EQ(Read("news/new.txt"), "new");
}

TEST_F(CommitDirectoryTest, OntoExistingLocationReplacesAndLeavesNothingBehind) {
    const CommitMoves noExchange{[](const std::wstring&, const std::wstring&) { return false; },
                                 Rename};
    struct Case {
        const char* what;
        std::wstring location;
        CommitMoves moves;
    };
    const std::vector<Case> cases{
        {"exchange", W("news"), DefaultCommitMoves()},
        {"two renames", W("news"), noExchange},
        {"windows spelling", W() + L"\\NEWS\\", DefaultCommitMoves()},
    };
    for (const Case& c : cases) {
        WriteOld();
        Write("staged/new.txt", "new");
        CommitDirectory(c.location, W("staged"), c.moves);
        EXPECT_EQ(List(), Strings{"news"}) << c.what;
        EXPECT_EQ(Names("news"), Strings{"new.txt"}) << c.what;
        fs::remove_all(root / "news");
    }
}

TEST_F(CommitDirectoryTest, FailedFinalMovePutsOldFolderBack) {
    WriteOld();
    int renames = 0;
    const CommitMoves failSecond{
        [](const std::wstring&, const std::wstring&) { return false; },
        [&](const std::wstring& from, const std::wstring& to) {
            if (++renames == 2)
                throw Win32::Win32Exception("Rename failed", EACCES);
            Rename(from, to);
        }};
    EXPECT_THROW(CommitDirectory(W("news"), W("staged"), failSecond), Win32::Win32Exception);
    EXPECT_EQ(renames, 3) << "aside, failed move, restore";
    EXPECT_EQ(List(), (Strings{"news", "staged"}));
    EXPECT_EQ(Names("news"), Strings{"old.txt"});
}

TEST_F(CommitDirectoryTest, FailedExchangeChangesNothing) {
    WriteOld();
    const CommitMoves failing{[](const std::wstring&, const std::wstring&) -> bool {
                                  throw Win32::Win32Exception("Rename failed", EIO);
                              },
                              Rename};
    EXPECT_THROW(CommitDirectory(W("news"), W("staged"), failing), Win32::Win32Exception);
    EXPECT_EQ(List(), (Strings{"news", "staged"}));
    EXPECT_EQ(Names("news"), Strings{"old.txt"});
}

TEST_F(CommitDirectoryTest, MissingNewFolderLeavesOldInPlace) {
    WriteOld();
    fs::remove_all(root / "staged");
    EXPECT_THROW(CommitDirectory(W("news"), W("staged")), FileNotFoundException);
    EXPECT_EQ(List(), Strings{"news"});
    EXPECT_EQ(Names("news"), Strings{"old.txt"});
}
