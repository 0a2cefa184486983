#include "tests/support/TempDir.h"

#include "support/Find.h"
#include "support/VellmarException.h"

namespace fs = std::filesystem;

using namespace LTF::IO;

TEST(FindPattern, WindowsWildcardRules) {
    struct Case {
        const wchar_t* name;
        const wchar_t* pattern;
        bool expected;
    };
    const std::vector<Case> cases{
        {L"readme.txt", L"*", true},
        {L".", L"*", true},
        {L"README.TXT", L"*.txt", true},
        {L"a.b.txt", L"*.txt", true},
        {L"a.txt.bak", L"*.txt", false},
        {L"readme", L"*.*", true},
        {L"readme", L"*.", true},
        {L"readme.txt", L"*.", false},
        {L"file1.txt", L"file?.txt", true},
        {L"file.txt", L"file?.txt", true},
        {L"file12.txt", L"file?.txt", false},
        {L"a.c", L"a?c", false},
        {L"abc", L"a?c", true},
        {L"abcd", L"abc", false},
        {L"abc", L"abcd", false},
        {L"aaaaaaaaaaaaaaaaaaaaaaaaab", L"*a*a*a*a*a*a*a*c", false},
        {L"Stra\u00dfe", L"STRA\u00dfE", true},
        {L"\u010ce\u0161tina.txt", L"\u010dE\u0160*.TXT", true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MatchesPattern(c.name, c.pattern), c.expected) << c.name << " ~ " << c.pattern;
}

class FindTest : public Vellmar::Testing::TempDirTest {
protected:
    std::vector<std::wstring> Names(const std::wstring& pattern) {
        std::vector<std::wstring> names;
        Find search(pattern);
        for (const FindData& entry : search)
            names.push_back(entry.name);
        std::sort(names.begin(), names.end());
        return names;
    }
};

TEST_F(FindTest, ListsMatchesWithAttributes) {
    dir.Write("Data/One.TXT", "12345");
    dir.Write("Data/two.txt", "");
    dir.Write("Data/image.bmp", "");
    fs::create_directories(dir / "Data/Sub.txt");
    dir.MakeReadOnly("Data/two.txt");
    EXPECT_EQ(Names(dir.Wide() + L"\\data\\*.txt"),
              (std::vector<std::wstring>{L"One.TXT", L"Sub.txt", L"two.txt"}));
    EXPECT_EQ(Names(dir.Wide("Data/*")).size(), 6u) << "'.' and '..' included";

    std::map<std::wstring, unsigned> attributes;
    std::map<std::wstring, std::int64_t> sizes;
    Find search(dir.Wide("Data/*"));
    for (const FindData& entry : search) {
        attributes[entry.name] = entry.attrib;
        sizes[entry.name] = entry.size;
    }
    EXPECT_EQ(attributes[L"Sub.txt"], FindData::kSubdirectory);
    EXPECT_EQ(attributes[L"two.txt"], FindData::kReadOnly);
    EXPECT_EQ(attributes[L"One.TXT"], 0u);
    EXPECT_EQ(sizes[L"One.TXT"], 5);
}

TEST_F(FindTest, NothingMatchingIsAnEmptyRange) {
    dir.Write("Data/a.txt", "");
    for (const std::wstring& pattern :
         {dir.Wide("Data/*.bmp"), dir.Wide("Missing/*"), dir.Wide("Data/a.txt/*")}) {
        Find search(pattern);
        EXPECT_TRUE(search.empty()) << pattern;
        try {
            search.next();
            ADD_FAILURE() << "next() on an ended range";
        } catch (const Vellmar::IOException& e) {
            EXPECT_EQ(e.Message(), "IO find failed: No more matches.");
        }
    }
}

TEST_F(FindTest, EmptyPatternIsAnInvalidArgument) {
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
    std::map<std::wstring, unsigned> attributes;
    std::map<std::wstring, bool> dangling;
    Find all(dir.Wide("*"));
    for (const FindData& entry : all) {
        attributes[entry.name] = entry.attrib;
        dangling[entry.name] = entry.targetMissing;
    }
    EXPECT_EQ(attributes[L"dirlink"], FindData::kLink | FindData::kSubdirectory);
    EXPECT_EQ(attributes[L"filelink"], FindData::kLink);
    EXPECT_EQ(attributes[L"dangling"], FindData::kLink);
    EXPECT_EQ(dangling, (std::map<std::wstring, bool>{{L".", false},
                                                      {L"..", false},
                                                      {L"dangling", true},
                                                      {L"dirlink", false},
                                                      {L"file", false},
                                                      {L"filelink", false},
                                                      {L"target", false}}));
}
