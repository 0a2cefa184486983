#include "tests/support/TempDir.h"

#include "support/Directory.h"
#include "support/VellmarException.h"

namespace fs = std::filesystem;

using namespace Vellmar;

class DirectoryTest : public Vellmar::Testing::TempDirTest {};

TEST_F(DirectoryTest, CreateMakesEveryMissingLevel) {
    Directory::Create(dir.Wide("a/b/c"));
    EXPECT_TRUE(fs::is_directory(dir / "a/b/c"));

    fs::create_directories(dir / "Data");
    Directory::Create(dir.Wide() + L"\\DATA\\New\\Deeper");
    EXPECT_TRUE(fs::is_directory(dir / "Data/New/Deeper")) << "existing folder found by case";

    for (const char* name : {"t1/x/y/", "t2\\x\\y\\", "t3/x/y//"}) {
        Directory::Create(dir.Wide(name));
        EXPECT_TRUE(fs::is_directory(dir / (std::string(name, 2) + "/x/y"))) << name;
    }
}

TEST_F(DirectoryTest, CreateFailures) {
    fs::create_directories(dir / "exists");
    dir.Write("file", "");
    try {
        Directory::Create(dir.Wide("exists"));
        FAIL() << "an existing folder is an error";
    } catch (const Win32::Win32Exception& e) {
        EXPECT_EQ(e.Message().rfind("Directory::Create failed", 0), 0u) << e.Message();
    }
    EXPECT_THROW(Directory::Create(dir.Wide("file/sub/x")), PathNotFoundException);
}

TEST_F(DirectoryTest, DeleteRemovesReadOnlyEntriesButNotLinkTargets) {
    dir.Write("tree/a.txt", "a");
    dir.Write("tree/sub/b.txt", "b");
    dir.Write("tree/locked/c.txt", "c");
    dir.Write("outside/keep.txt", "k");
    dir.MakeReadOnly("tree/a.txt");
    dir.MakeReadOnly("tree/sub/b.txt");
    dir.MakeReadOnly("tree/locked/c.txt");
    dir.MakeReadOnly("tree/locked");
    fs::create_directory_symlink(dir / "outside", dir / "tree/link");

    Directory::Delete(dir.Wide() + L"\\TREE");
    EXPECT_FALSE(fs::exists(dir / "tree"));
    EXPECT_EQ(dir.Read("outside/keep.txt"), "k");
}

TEST_F(DirectoryTest, DeleteOfMissingFolderIsNotFound) {
    EXPECT_THROW(Directory::Delete(dir.Wide("missing")), FileNotFoundException);
    EXPECT_THROW(Directory::Delete(dir.Wide("missing/deeper")), PathNotFoundException);
}

TEST_F(DirectoryTest, CopyMergesAndOverwritesFiles) {
    dir.Write("src/a.txt", "new a");
    dir.Write("src/b.txt", "new b");
    dir.Write("src/sub/c.txt", "new c");
    dir.Write("dst/a.txt", "old a");
    dir.Write("dst/b.txt/inner", "a folder where a file comes");
    dir.Write("dst/keep.txt", "keep");
    dir.MakeReadOnly("dst/a.txt");

    Directory::Copy(dir.Wide("dst"), dir.Wide("src"));
    EXPECT_EQ(dir.Read("dst/a.txt"), "new a");
    EXPECT_EQ(dir.Read("dst/b.txt"), "new b");
    EXPECT_EQ(dir.Read("dst/sub/c.txt"), "new c");
    EXPECT_EQ(dir.Read("dst/keep.txt"), "keep");
    EXPECT_EQ(dir.Read("src/sub/c.txt"), "new c");
}

TEST_F(DirectoryTest, CopyDoesNotWriteThroughLinksOrFollowLinkedFolders) {
    dir.Write("src/a.txt", "new");
    dir.Write("victim.txt", "safe");
    fs::create_directories(dir / "dst");
    fs::create_symlink(dir / "victim.txt", dir / "dst/a.txt");
    fs::create_directory_symlink(dir / "src", dir / "src/loop");

    Directory::Copy(dir.Wide("dst"), dir.Wide("src"));
    EXPECT_EQ(dir.Read("victim.txt"), "safe");
    EXPECT_EQ(dir.Read("dst/a.txt"), "new");
    EXPECT_TRUE(fs::is_symlink(dir / "dst/loop"));
}

TEST_F(DirectoryTest, CopyFailures) {
    dir.Write("src/sub/c.txt", "c");
    dir.Write("dst/sub/other.txt", "o");
    try {
        Directory::Copy(dir.Wide("dst"), dir.Wide("src"));
        FAIL() << "an existing subfolder is an error";
    } catch (const Win32::Win32Exception& e) {
        EXPECT_EQ(e.Message().rfind("Directory::Copy failed (CreateDirectory)", 0), 0u);
    }
    EXPECT_THROW(Directory::Copy(dir.Wide("dst"), dir.Wide("missing")), FileNotFoundException);
    EXPECT_THROW(Directory::Copy(dir.Wide("missing"), dir.Wide("src")), FileNotFoundException);
}
