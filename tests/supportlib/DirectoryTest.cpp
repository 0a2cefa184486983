#include "tests/support/TempDir.h"
#include "tests/supportlib/Thrown.h"

#include "support/Directory.h"
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

TEST_F(DirectoryTest, CopyMergesAndOverwritesFiles) {
    dir.Write("src/a.txt", "new a");
    dir.Write("src/b.txt", "new b");
    dir.Write("src/sub/c.txt", "new c");
    dir.Write("dst/a.txt", "old a");
    dir.Write("dst/b.txt/inner", "a folder where a file comes");
    dir.Write("dst/keep.txt", "keep");
    dir.MakeReadOnly("dst/a.txt");
    Directory::Copy(dir.Wide("dst"), dir.Wide("src"));
    EXPECT_EQ(dir.Read("dst/a.txt") + dir.Read("dst/b.txt") + dir.Read("dst/sub/c.txt"),
              "new anew bnew c");
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
    EXPECT_THAT(ThrownMessage<Win32::Win32Exception>(
                    [&] { Directory::Copy(dir.Wide("dst"), dir.Wide("src")); }),
                StartsWith("Directory::Copy failed (CreateDirectory)"))
        << "an existing subfolder is an error";
    EXPECT_THROW(Directory::Copy(dir.Wide("dst"), dir.Wide("missing")), FileNotFoundException);
    EXPECT_THROW(Directory::Copy(dir.Wide("missing"), dir.Wide("src")), FileNotFoundException);
}
