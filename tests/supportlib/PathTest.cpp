#include "tests/support/ScopedEnv.h"
#include "tests/support/TempDir.h"
#include "tests/supportlib/Thrown.h"

#include "support/Find.h"
#include "support/Path.h"
#include "support/PathResolve.h"
#include "support/Text.h"
#include "support/VellmarException.h"

#include <gmock/gmock.h>

namespace fs = std::filesystem;

using namespace Vellmar;
using ::testing::StartsWith;
using Vellmar::Testing::ThrownMessage;
using namespace LTF::IO;

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
    // clang-format off
    const std::pair<const char*, std::wstring> cases[] = {{"/var/tmp", L"/var/tmp/"},
        {"/scratch/", L"/scratch/"}, {"", L"/tmp/"}, {nullptr, L"/tmp/"}};
    // clang-format on
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
    EXPECT_TRUE(fs::exists(dir / "one/b") && fs::exists(dir / "two/a"));
    EXPECT_THROW(ExchangePaths(dir.Wide("one"), dir.Wide("three")), FileNotFoundException);
}

class PathResolveTest : public Vellmar::Testing::TempDirTest {
protected:
    void SetUp() override { dir.Write("data/Art/bg.bmp", "x"); }
};

TEST_F(PathResolveTest, WindowsStyleNameFindsFileAndMissingNameStaysNormalised) {
    for (const char* name : {"data/Art/bg.bmp", "Data\\ART\\BG.BMP", "DATA//art\\Bg.bmp"}) {
        EXPECT_EQ(ResolvePath(dir.Wide() + L"/" + Utf8ToWide(name)), dir.Wide("data/Art/bg.bmp"))
            << name;
        EXPECT_TRUE(PathExists(dir.Wide() + L"\\" + Utf8ToWide(name))) << name;
    }
    EXPECT_FALSE(PathExists(dir.Wide("data/Art/none.bmp")));
    EXPECT_EQ(ResolvePath(dir.Wide() + L"\\DATA\\none.bmp"), dir.Wide() + L"/DATA/none.bmp");
    EXPECT_TRUE(IsDirectoryPath(dir.Wide() + L"/DATA/art"));
    EXPECT_FALSE(IsDirectoryPath(dir.Wide("data/Art/bg.bmp")));
    EXPECT_EQ(NormalizeSeparators(L"a\\\\b//c\\"), L"a/b/c/");
    EXPECT_EQ(ResolvePath(L""), L"");
}

TEST_F(PathResolveTest, RelativeNameResolvesFromTheCurrentFolder) {
    const fs::path saved = fs::current_path();
    fs::current_path(dir.Path());
    EXPECT_TRUE(PathExists(L"Data\\ART\\BG.BMP"));
    EXPECT_EQ(ResolvePath(L"DATA\\art\\bg.BMP"), L"data/Art/bg.bmp");
    EXPECT_EQ(NativeTargetPath(L"DATA\\ART\\New\\file.txt"), "data/Art/New/file.txt")
        << "existing folders matched, the rest kept";
    fs::current_path(saved);
}

// Every letter folds, not only Latin-1.
TEST_F(PathResolveTest, CaseFoldingCoversEveryScript) {
    const std::pair<std::string, std::string> cases[] = {
        {"Dokumente/\u010ce\u0161tina/x.txt", "DOKUMENTE\\\u010de\u0160TINA\\X.TXT"},
        {"\u0424\u0430\u0439\u043b\u044b/y.txt", "\u0444\u0410\u0419\u041b\u042b/Y.txt"},
        {"\u03a3\u03bf\u03c6\u03af\u03b1\u03c2/z.txt",
         "\u03c3\u039f\u03a6\u038a\u0391\u03a3/Z.TXT"},
        {"\u00c9t\u00e9 \u65e5\u672c/\u212a.txt", "\u00e9T\u00c9 \u65e5\u672c/k.TXT"},
    };
    for (const auto& [stored, asked] : cases) {
        dir.Write(stored, "x");
        EXPECT_EQ(ResolvePath(dir.Wide() + L"/" + Utf8ToWide(asked)), dir.Wide(stored)) << asked;
    }
}

TEST(FindPattern, WindowsWildcardRules) {
    // clang-format off
    const std::tuple<const wchar_t*, const wchar_t*, bool> cases[] = {
        {L"readme.txt", L"*", true}, {L".", L"*", true}, {L"README.TXT", L"*.txt", true},
        {L"a.b.txt", L"*.txt", true}, {L"a.txt.bak", L"*.txt", false}, {L"readme", L"*.*", true},
        {L"readme", L"*.", true}, {L"readme.txt", L"*.", false}, {L"file1.txt", L"file?.txt", true},
        {L"file.txt", L"file?.txt", true}, {L"file12.txt", L"file?.txt", false},
        {L"a.c", L"a?c", false}, {L"abc", L"a?c", true}, {L"abcd", L"abc", false},
        {L"abc", L"abcd", false}, {L"aaaaaaaaaaaaaaaaaaaaaaaaab", L"*a*a*a*a*a*a*a*c", false},
        {L"Stra\u00dfe", L"STRA\u00dfE", true},
        {L"\u010ce\u0161tina.txt", L"\u010dE\u0160*.TXT", true}};
    // clang-format on
    for (const auto& [name, pattern, expected] : cases)
        EXPECT_EQ(MatchesPattern(name, pattern), expected) << name << " ~ " << pattern;
}

class FindTest : public Vellmar::Testing::TempDirTest {
protected:
    static std::map<std::wstring, FindData> Listing(const std::wstring& pattern) {
        std::map<std::wstring, FindData> found;
        for (const FindData& entry : Find(pattern))
            found[entry.name] = entry;
        return found;
    }
};

TEST_F(FindTest, ListsMatchesWithAttributesAndLinksWithTheirTargetKind) {
    dir.Write("Data/One.TXT", "12345");
    dir.Write("Data/two.txt", "");
    dir.Write("Data/image.bmp", "");
    fs::create_directories(dir / "Data/Sub.txt");
    dir.MakeReadOnly("Data/two.txt");
    fs::create_directory_symlink(dir / "Data/Sub.txt", dir / "Data/dirlink");
    fs::create_symlink(dir / "Data/image.bmp", dir / "Data/filelink");
    fs::create_symlink(dir / "nowhere", dir / "Data/dangling");
    std::vector<std::wstring> names;
    for (const auto& [name, entry] : Listing(dir.Wide() + L"\\data\\*.txt"))
        names.push_back(name);
    EXPECT_EQ(names, (std::vector<std::wstring>{L"One.TXT", L"Sub.txt", L"two.txt"}));
    auto all = Listing(dir.Wide("Data/*"));
    std::map<std::wstring, unsigned> attributes;
    for (const auto& [name, entry] : all) {
        attributes[name] = entry.attrib;
        EXPECT_EQ(entry.targetMissing, name == L"dangling") << name;
    }
    const unsigned sub = FindData::kSubdirectory, link = FindData::kLink;
    // clang-format off
    EXPECT_EQ(attributes, (std::map<std::wstring, unsigned>{{L".", sub}, {L"..", sub},
        {L"One.TXT", 0}, {L"two.txt", FindData::kReadOnly}, {L"image.bmp", 0}, {L"Sub.txt", sub},
        {L"dirlink", link | sub}, {L"filelink", link}, {L"dangling", link}}));
    // clang-format on
    EXPECT_EQ(all[L"One.TXT"].size, 5);
}

TEST_F(FindTest, NothingMatchingIsAnEmptyRangeAndAnEmptyPatternInvalid) {
    dir.Write("Data/a.txt", "");
    for (const std::wstring& pattern :
         {dir.Wide("Data/*.bmp"), dir.Wide("Missing/*"), dir.Wide("Data/a.txt/*")}) {
        Find search(pattern);
        EXPECT_TRUE(search.empty()) << pattern;
        EXPECT_EQ(ThrownMessage<Vellmar::IOException>([&] { search.next(); }),
                  "IO find failed: No more matches.");
    }
    using E = Vellmar::ArgumentException;
    EXPECT_THAT([&] { Find search(dir.Wide() + L"/"); },
                testing::Throws<E>(testing::AllOf(
                    testing::Property(&E::ArgumentName, "fileSpec"),
                    testing::Property(&E::Message, "IO find failed: fileSpec was invalid."))));
}
