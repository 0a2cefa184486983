#include "tests/support/ScopedEnv.h"
#include "tests/support/TempDir.h"

#include "support/Path.h"
#include "support/PathResolve.h"
#include "support/VellmarException.h"

namespace fs = std::filesystem;

using namespace Vellmar;

namespace {

struct TextCase {
    std::wstring input;
    std::wstring more;
    std::wstring expected;
};

} // namespace

TEST(Path, AppendJoinsAndCanonicalises) {
    const std::vector<TextCase> cases{
        {L"/games/x", L"data\\autorun.xml", L"/games/x/data/autorun.xml"},
        {L"C:\\games\\", L"\\data", L"C:/games/data"},
        {L"/games/x/", L"..\\news", L"/games/news"},
        {L"/games", L"./a/./b/", L"/games/a/b/"},
        {L"", L"data", L"data"},
        {L"/games", L"", L"/games"},
        {L"/", L"*", L"/*"},
    };
    for (const TextCase& c : cases)
        EXPECT_EQ(Append(c.input, c.more), c.expected) << c.input << " + " << c.more;
}

TEST(Path, CanonicalizeResolvesDotsByText) {
    const std::vector<TextCase> cases{
        {L"/a/b/../c/./d", L"", L"/a/c/d"},
        {L"\\a\\..\\..\\b", L"", L"/b"},
        {L"a/../../b", L"", L"../b"},
        {L"a/..", L"", L"."},
        {L"/a/b/", L"", L"/a/b/"},
        {L"/..", L"", L"/"},
        {L"", L"", L""},
    };
    for (const TextCase& c : cases)
        EXPECT_EQ(Canonicalize(c.input), c.expected) << c.input;
}

TEST(Path, RemoveFileSpecDropsLastElement) {
    const std::vector<TextCase> cases{
        {L"/a/b", L"", L"/a"}, {L"/a", L"", L"/"},  {L"a\\b\\", L"", L"a/b"},
        {L"a", L"", L""},      {L"a/b", L"", L"a"}, {L"/a/b.txt", L"", L"/a"},
    };
    for (const TextCase& c : cases)
        EXPECT_EQ(RemoveFileSpec(c.input), c.expected) << c.input;
    for (const wchar_t* nothingToDrop : {L"/", L"\\", L""}) {
        try {
            RemoveFileSpec(nothingToDrop);
            ADD_FAILURE() << "no exception for " << nothingToDrop;
        } catch (const Win32::Win32Exception& e) {
            EXPECT_EQ(e.Message().rfind("RemoveFileSpec failed", 0), 0u) << e.Message();
        }
    }
}

TEST(Path, OverlongResultsFailWithTheirContext) {
    const std::wstring longName(kMaxPath, L'a');
    const std::vector<std::pair<std::function<void()>, std::string>> cases{
        {[&] { Append(L"/x", longName); }, "Append failed"},
        {[&] { Canonicalize(longName); }, "Canonicalize failed"},
    };
    for (const auto& [call, context] : cases) {
        try {
            call();
            ADD_FAILURE() << context;
        } catch (const Win32::Win32Exception& e) {
            EXPECT_EQ(e.Message().rfind(context, 0), 0u) << e.Message();
        }
    }
}

TEST(Path, TemporaryDirectoryEndsWithSeparator) {
    const std::vector<std::pair<const char*, std::wstring>> cases{{"/var/tmp", L"/var/tmp/"},
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
    try {
        Rename(dir.Wide("other.txt"), dir.Wide("Data/Moved/a.txt"));
        FAIL() << "replaced an existing file";
    } catch (const Win32::Win32Exception& e) {
        EXPECT_EQ(e.Message().rfind("Rename failed", 0), 0u);
    }
    EXPECT_EQ(dir.Read("Data/Moved/a.txt"), "a");
}

TEST_F(RenameTest, MissingSourceOrTargetFolderGiveNotFoundClasses) {
    dir.Write("present.txt", "p");
    EXPECT_THROW(Rename(dir.Wide("absent.txt"), dir.Wide("new.txt")), FileNotFoundException);
    EXPECT_THROW(Rename(dir.Wide("present.txt"), dir.Wide("no/such/new.txt")),
                 PathNotFoundException);
    EXPECT_TRUE(fs::exists(dir / "present.txt"));
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
