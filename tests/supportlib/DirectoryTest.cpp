#include "tests/support/TempDir.h"
#include "tests/supportlib/Thrown.h"

#include "support/CommitDirectory.h"
#include "support/Directory.h"
#include "support/Path.h"
#include "support/Text.h"
#include "support/UniqueName.h"
#include "support/VellmarException.h"

#include <gmock/gmock.h>

namespace fs = std::filesystem;

using namespace Vellmar;
using ::testing::StartsWith;
using Vellmar::Testing::ThrownMessage;

class DirectoryTest : public Vellmar::Testing::TempDirTest {};

TEST_F(DirectoryTest, CreateMakesEveryMissingLevelButNotAnExistingFolder) {
    Directory::Create(dir.Wide("a/b/c"));
    EXPECT_TRUE(fs::is_directory(dir / "a/b/c"));
    Directory::Create(dir.Wide() + L"\\A\\New\\Deeper");
    EXPECT_TRUE(fs::is_directory(dir / "a/New/Deeper")) << "existing folder found by case";
    for (const char* name : {"t1/x/y/", "t2\\x\\y\\", "t3/x/y//"}) {
        Directory::Create(dir.Wide(name));
        EXPECT_TRUE(fs::is_directory(dir / (std::string(name, 2) + "/x/y"))) << name;
    }
    dir.Write("file", "");
    EXPECT_THAT(ThrownMessage<Win32::Win32Exception>([&] { Directory::Create(dir.Wide("a")); }),
                StartsWith("Directory::Create failed"));
    EXPECT_THROW(Directory::Create(dir.Wide("file/sub/x")), PathNotFoundException);
}

TEST_F(DirectoryTest, DeleteRemovesReadOnlyEntriesButNotLinkTargets) {
    for (const char* name : {"tree/a.txt", "tree/sub/b.txt", "tree/locked/c.txt"})
        dir.Write(name, "x");
    dir.Write("outside/keep.txt", "k");
    for (const char* name : {"tree/a.txt", "tree/sub/b.txt", "tree/locked/c.txt", "tree/locked"})
        dir.MakeReadOnly(name);
    fs::create_directory_symlink(dir / "outside", dir / "tree/link");
    Directory::Delete(dir.Wide() + L"\\TREE");
    EXPECT_FALSE(fs::exists(dir / "tree"));
    EXPECT_EQ(dir.Read("outside/keep.txt"), "k");
    EXPECT_THROW(Directory::Delete(dir.Wide("missing")), FileNotFoundException);
    EXPECT_THROW(Directory::Delete(dir.Wide("missing/deeper")), PathNotFoundException);
}

TEST_F(DirectoryTest, CopyMergesAndOverwritesFilesButNotThroughLinksOrIntoLinkedFolders) {
    dir.Write("src/a.txt", "new a");
    dir.Write("src/b.txt", "new b");
    dir.Write("src/sub/c.txt", "new c");
    dir.Write("src/link.txt", "new link");
    dir.Write("dst/a.txt", "old a");
    dir.Write("dst/b.txt/inner", "a folder where a file comes");
    dir.Write("dst/keep.txt", "keep");
    dir.MakeReadOnly("dst/a.txt");
    dir.Write("victim.txt", "safe");
    fs::create_symlink(dir / "victim.txt", dir / "dst/link.txt");
    fs::create_directory_symlink(dir / "src", dir / "src/loop");
    Directory::Copy(dir.Wide("dst"), dir.Wide("src"));
    EXPECT_EQ(dir.Read("dst/a.txt") + dir.Read("dst/b.txt") + dir.Read("dst/sub/c.txt"),
              "new anew bnew c");
    EXPECT_EQ(dir.Read("dst/keep.txt"), "keep");
    EXPECT_EQ(dir.Read("src/sub/c.txt"), "new c");
    EXPECT_EQ(dir.Read("dst/link.txt"), "new link");
    EXPECT_EQ(dir.Read("victim.txt"), "safe");
    EXPECT_TRUE(fs::is_symlink(dir / "dst/loop"));
}

TEST_F(DirectoryTest, CopyFailures) {
    dir.Write("src/sub/c.txt", "c");
    dir.Write("dst/sub/other.txt", "o");
    EXPECT_THAT(ThrownMessage<Win32::Win32Exception>(
                    [&] { Directory::Copy(dir.Wide("dst"), dir.Wide("src")); }),
                StartsWith("Directory::Copy failed (CreateDirectory)"))
        << "an existing subfolder is an error";
    EXPECT_THROW(Directory::Copy(dir.Wide("dst"), dir.Wide("missing")), FileNotFoundException);
    EXPECT_THROW(Directory::Copy(dir.Wide("missing"), dir.Wide("src")), FileNotFoundException);
}

namespace {

using Strings = std::vector<std::string>;
using Tree = std::map<std::string, std::string>;
using Vellmar::Testing::Snapshot;

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
        EXPECT_EQ(Snapshot(dir.Path()), (Tree{{"news", "dir"}, {"news/new.txt", "file:new"}}))
            << what;
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

NameSource Sequence(std::vector<std::wstring> names) {
    return [names, next = std::size_t{0}]() mutable { return names.at(next++); };
}

} // namespace

class UniqueNameTest : public Vellmar::Testing::TempDirTest {};

TEST_F(UniqueNameTest, FailingOperationIsTriedThreeTimesThenPassesOn) {
    std::vector<std::wstring> paths;
    auto failing = [&](const std::wstring& path) {
        paths.push_back(path);
        throw IOException("attempt " + std::to_string(paths.size()));
    };
    EXPECT_EQ(ThrownMessage<IOException>([&] { TryWithUniqueName(failing, dir.Wide(), L".rar"); }),
              "attempt 3");
    ASSERT_EQ(paths.size(), 3u);
    EXPECT_NE(paths[0], paths[1]);
    EXPECT_THAT(paths[0],
                testing::AllOf(StartsWith(dir.Wide() + L"/"), testing::EndsWith(L".rar")));
}

TEST_F(UniqueNameTest, TakenNamesAreSkippedAndTheUsedPathReturned) {
    dir.Write("taken", "");
    int calls = 0;
    const std::wstring used = TryWithUniqueName(
        [&](const std::wstring& path) {
            if (++calls == 1)
                throw std::runtime_error("first fails");
            fs::create_directory(Vellmar::WideToUtf8(path));
        },
        dir.Wide(), L"", Sequence({L"taken", L"b", L"c"}));
    EXPECT_EQ(calls, 2);
    EXPECT_EQ(used, dir.Wide("c"));
    EXPECT_TRUE(fs::is_directory(dir / "c"));
}

TEST_F(UniqueNameTest, BrokenOrExhaustedNameSourcesThrowInsteadOfLooping) {
    for (const char* taken : {"x", "y", "z"})
        dir.Write(taken, "");
    const std::vector<std::vector<std::wstring>> broken{{L"a", L"a", L"a"}, {L""}};
    auto failing = [](const std::wstring&) { throw std::runtime_error("fails"); };
    for (const auto& names : broken)
        EXPECT_THAT([&] { TryWithUniqueName(failing, dir.Wide(), L"", Sequence(names)); },
                    testing::ThrowsMessage<std::runtime_error>(
                        testing::HasSubstr("name source is broken")));
    int calls = 0;
    auto count = [&](const std::wstring&) { ++calls; };
    EXPECT_THROW(TryWithUniqueName(count, dir.Wide(), L"", Sequence({L"x", L"y", L"z"})),
                 Win32::Win32Exception);
    EXPECT_EQ(calls, 0);
}
