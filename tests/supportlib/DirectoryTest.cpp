#include "TempFolder.h"

#include "support/Directory.h"
#include "support/VellmarException.h"

using namespace Vellmar;

class DirectoryTest : public TempFolder {};

TEST_F(DirectoryTest, CreateMakesEveryMissingLevel) {
    Directory::Create(W("a/b/c"));
    EXPECT_TRUE(fs::is_directory(root / "a/b/c"));

    fs::create_directories(root / "Data");
    Directory::Create(W() + L"\\DATA\\New\\Deeper");
    EXPECT_TRUE(fs::is_directory(root / "Data/New/Deeper")) << "existing folder found by case";
}

TEST_F(DirectoryTest, CreateFailures) {
    fs::create_directories(root / "exists");
    Write("file", "");
    try {
        Directory::Create(W("exists"));
        FAIL() << "an existing folder is an error";
    } catch (const Win32::Win32Exception& e) {
        EXPECT_EQ(e.Message().rfind("Directory::Create failed", 0), 0u) << e.Message();
    }
    EXPECT_THROW(Directory::Create(W("file/sub/x")), PathNotFoundException);
}

TEST_F(DirectoryTest, DeleteRemovesReadOnlyEntriesButNotLinkTargets) {
    Write("tree/a.txt", "a");
    Write("tree/sub/b.txt", "b");
    Write("tree/locked/c.txt", "c");
    Write("outside/keep.txt", "k");
    MakeReadOnly("tree/a.txt");
    MakeReadOnly("tree/sub/b.txt");
    MakeReadOnly("tree/locked/c.txt");
    MakeReadOnly("tree/locked");
    fs::create_directory_symlink(root / "outside", root / "tree/link");

    Directory::Delete(W() + L"\\TREE");
    EXPECT_FALSE(fs::exists(root / "tree"));
    EXPECT_EQ(Read("outside/keep.txt"), "k");
}

TEST_F(DirectoryTest, DeleteOfMissingFolderIsNotFound) {
    EXPECT_THROW(Directory::Delete(W("missing")), FileNotFoundException);
    EXPECT_THROW(Directory::Delete(W("missing/deeper")), PathNotFoundException);
}

TEST_F(DirectoryTest, CopyMergesAndOverwritesFiles) {
    Write("src/a.txt", "new a");
    Write("src/b.txt", "new b");
    Write("src/sub/c.txt", "new c");
    Write("dst/a.txt", "old a");
    Write("dst/b.txt/inner", "a folder where a file comes");
    Write("dst/keep.txt", "keep");
    MakeReadOnly("dst/a.txt");

    Directory::Copy(W("dst"), W("src"));
    EXPECT_EQ(Read("dst/a.txt"), "new a");
    EXPECT_EQ(Read("dst/b.txt"), "new b");
    EXPECT_EQ(Read("dst/sub/c.txt"), "new c");
    EXPECT_EQ(Read("dst/keep.txt"), "keep");
    EXPECT_EQ(Read("src/sub/c.txt"), "new c");
}

TEST_F(DirectoryTest, CopyDoesNotWriteThroughLinksOrFollowLinkedFolders) {
    Write("src/a.txt", "new");
    Write("victim.txt", "safe");
    fs::create_directories(root / "dst");
    fs::create_symlink(root / "victim.txt", root / "dst/a.txt");
    fs::create_directory_symlink(root / "src", root / "src/loop");

    Directory::Copy(W("dst"), W("src"));
    EXPECT_EQ(Read("victim.txt"), "safe");
    EXPECT_EQ(Read("dst/a.txt"), "new");
    EXPECT_TRUE(fs::is_symlink(root / "dst/loop"));
}

TEST_F(DirectoryTest, CopyFailures) {
    Write("src/sub/c.txt", "c");
    Write("dst/sub/other.txt", "o");
    try {
        Directory::Copy(W("dst"), W("src"));
        FAIL() << "an existing subfolder is an error";
    } catch (const Win32::Win32Exception& e) {
        EXPECT_EQ(e.Message().rfind("Directory::Copy failed (CreateDirectory)", 0), 0u);
    }
    EXPECT_THROW(Directory::Copy(W("dst"), W("missing")), FileNotFoundException);
    EXPECT_THROW(Directory::Copy(W("missing"), W("src")), FileNotFoundException);
}
