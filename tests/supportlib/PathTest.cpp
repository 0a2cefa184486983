#include "tests/support/ScopedEnv.h"
#include "tests/support/TempDir.h"
#include "tests/supportlib/Thrown.h"

#include "support/Path.h"
#include "support/PathResolve.h"
#include "support/VellmarException.h"

#include <gmock/gmock.h>

namespace fs = std::filesystem;

using namespace Vellmar;
using ::testing::StartsWith;
using Vellmar::Testing::ThrownMessage;

namespace {

using Win32::Win32Exception;

TEST(Path, AppendCanonicalizeAndRemoveFileSpecWorkOnTextAlone) {
    // clang-format off
    const std::tuple<std::wstring, std::wstring, std::wstring> appends[] = {
        {L"/games/x", L"data\\autorun.xml", L"/games/x/data/autorun.xml"},
        {L"C:\\games\\", L"\\data", L"C:/games/data"}, {L"/games/x/", L"..\\news", L"/games/news"},
        {L"/games", L"./a/./b/", L"/games/a/b/"}, {L"", L"data", L"data"},
        {L"/games", L"", L"/games"}, {L"/", L"*", L"/*"}};
    const std::pair<std::wstring, std::wstring> canonical[] = {
        {L"/a/b/../c/./d", L"/a/c/d"}, {L"\\a\\..\\..\\b", L"/b"}, {L"a/../../b", L"../b"},
        {L"a/..", L"."}, {L"/a/b/", L"/a/b/"}, {L"/..", L"/"}, {L"", L""}};
    const std::pair<std::wstring, std::wstring> parents[] = {
        {L"/a/b", L"/a"}, {L"/a", L"/"}, {L"a\\b\\", L"a/b"}, {L"a", L""}, {L"a/b", L"a"},
        {L"/a/b.txt", L"/a"}};
    // clang-format on
    for (const auto& [base, more, expected] : appends)
        EXPECT_EQ(Append(base, more), expected) << base << " + " << more;
    for (const auto& [path, expected] : canonical)
        EXPECT_EQ(Canonicalize(path), expected) << path;
    for (const auto& [path, expected] : parents)
        EXPECT_EQ(RemoveFileSpec(path), expected) << path;
    for (const wchar_t* nothingToDrop : {L"/", L"\\", L""})
        EXPECT_THAT(ThrownMessage<Win32Exception>([&] { RemoveFileSpec(nothingToDrop); }),
                    StartsWith("RemoveFileSpec failed"));
    const std::wstring longName(kMaxPath, L'a');
    EXPECT_THAT(ThrownMessage<Win32Exception>([&] { Append(L"/x", longName); }),
                StartsWith("Append failed"));
    EXPECT_THAT(ThrownMessage<Win32Exception>([&] { Canonicalize(longName); }),
                StartsWith("Canonicalize failed"));
}

TEST(Path, TemporaryDirectoryEndsWithSeparator) {
    const std::pair<const char*, std::wstring> cases[] = {{"/var/tmp", L"/var/tmp/"},
                                                          {"/scratch/", L"/scratch/"},
                                                          {"", L"/tmp/"},
                                                          {nullptr, L"/tmp/"}};
    for (const auto& [value, expected] : cases) {
        Vellmar::Testing::ScopedEnv tmp("TMPDIR", value);
        EXPECT_EQ(GetTemporaryDirectory(), expected) << (value ? value : "(unset)");
    }
}

class RenameTest : public Vellmar::Testing::TempDirTest {};

TEST_F(RenameTest, MovesWindowsStyleNamesAndNeverReplaces) {
    dir.Write("Data/News/a.txt", "a");
    Rename(dir.Wide() + L"\\DATA\\news", dir.Wide() + L"\\data\\Moved");
    EXPECT_EQ(dir.Read("Data/Moved/a.txt"), "a");
    dir.Write("other.txt", "o");
    EXPECT_THAT(ThrownMessage<Win32Exception>(
                    [&] { Rename(dir.Wide("other.txt"), dir.Wide("Data/Moved/a.txt")); }),
                StartsWith("Rename failed"));
    EXPECT_EQ(dir.Read("Data/Moved/a.txt"), "a");
    // A missing source or target folder gives the not-found classes.
    EXPECT_THROW(Rename(dir.Wide("absent.txt"), dir.Wide("new.txt")), FileNotFoundException);
    EXPECT_THROW(Rename(dir.Wide("other.txt"), dir.Wide("no/such/new.txt")), PathNotFoundException);
    EXPECT_TRUE(fs::exists(dir / "other.txt"));
}

TEST_F(RenameTest, ExchangeSwapsTwoFolders) {
    dir.Write("one/a", "1");
    dir.Write("two/b", "2");
    ASSERT_TRUE(ExchangePaths(dir.Wide("one"), dir.Wide("two"))) << "ext4 and tmpfs can exchange";
    EXPECT_TRUE(fs::exists(dir / "one/b"));
    EXPECT_TRUE(fs::exists(dir / "two/a"));
    EXPECT_THROW(ExchangePaths(dir.Wide("one"), dir.Wide("three")), FileNotFoundException);
}

TEST_F(RenameTest, WindowsStyleRelativePathResolvesIgnoringCase) {
    dir.Write("data/Art/bg.bmp", "x");
    const fs::path saved = fs::current_path();
    fs::current_path(dir.Path());
    const bool exists = PathExists(L"Data\\ART\\BG.BMP");
    const std::wstring resolved = ResolvePath(L"DATA\\art\\bg.BMP");
    const std::string target = NativeTargetPath(L"DATA\\ART\\New\\file.txt");
    fs::current_path(saved);
    EXPECT_TRUE(exists);
    EXPECT_EQ(resolved, L"data/Art/bg.bmp");
    EXPECT_EQ(target, "data/Art/New/file.txt") << "existing folders matched, the rest kept";
}

} // namespace
