#include "tests/support/TempDir.h"
#include "tests/supportlib/Thrown.h"

#include "support/Find.h"
#include "support/VellmarException.h"

namespace fs = std::filesystem;

using namespace LTF::IO;
using Vellmar::Testing::ThrownMessage;

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

TEST_F(FindTest, ListsMatchesWithAttributes) {
    dir.Write("Data/One.TXT", "12345");
    dir.Write("Data/two.txt", "");
    dir.Write("Data/image.bmp", "");
    fs::create_directories(dir / "Data/Sub.txt");
    dir.MakeReadOnly("Data/two.txt");
    std::vector<std::wstring> names;
    for (const auto& [name, entry] : Listing(dir.Wide() + L"\\data\\*.txt"))
        names.push_back(name);
    EXPECT_EQ(names, (std::vector<std::wstring>{L"One.TXT", L"Sub.txt", L"two.txt"}));
    auto all = Listing(dir.Wide("Data/*"));
    EXPECT_EQ(all.size(), 6u) << "'.' and '..' included";
    EXPECT_EQ(all[L"Sub.txt"].attrib, FindData::kSubdirectory);
    EXPECT_EQ(all[L"two.txt"].attrib, FindData::kReadOnly);
    EXPECT_EQ(all[L"One.TXT"].attrib, 0u);
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
    try {
        Find search(dir.Wide() + L"/");
        FAIL() << "no exception";
    } catch (const Vellmar::ArgumentException& e) {
        EXPECT_EQ(e.ArgumentName(), "fileSpec");
        EXPECT_EQ(e.Message(), "IO find failed: fileSpec was invalid.");
    }
}

TEST_F(FindTest, LinksAreMarkedWithTheirTargetKind) {
    fs::create_directories(dir / "target");
    dir.Write("file", "");
    fs::create_directory_symlink(dir / "target", dir / "dirlink");
    fs::create_symlink(dir / "file", dir / "filelink");
    fs::create_symlink(dir / "nowhere", dir / "dangling");
    auto all = Listing(dir.Wide("*"));
    EXPECT_EQ(all[L"dirlink"].attrib, FindData::kLink | FindData::kSubdirectory);
    EXPECT_EQ(all[L"filelink"].attrib, FindData::kLink);
    EXPECT_EQ(all[L"dangling"].attrib, FindData::kLink);
    ASSERT_EQ(all.size(), 7u);
    for (const auto& [name, entry] : all)
        EXPECT_EQ(entry.targetMissing, name == L"dangling") << name;
}
