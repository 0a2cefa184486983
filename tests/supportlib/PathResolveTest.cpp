#include "support/PathResolve.h"
#include "support/Text.h"

#include "tests/support/TempDir.h"

#include <filesystem>

namespace fs = std::filesystem;
using namespace Vellmar;

class PathResolveTest : public Vellmar::Testing::TempDirTest {
protected:
    void SetUp() override { dir.Write("data/Art/bg.bmp", "x"); }
    std::wstring W(const std::string& relative) { return dir.Wide(relative); }
};

TEST_F(PathResolveTest, WindowsStyleNameFindsFile) {
    const std::wstring expected = W("data/Art/bg.bmp");
    for (const char* name : {"data/Art/bg.bmp", "Data\\ART\\BG.BMP", "DATA//art\\Bg.bmp"}) {
        EXPECT_EQ(ResolvePath(dir.Wide() + L"/" + Utf8ToWide(name)), expected) << name;
        EXPECT_TRUE(PathExists(dir.Wide() + L"\\" + Utf8ToWide(name))) << name;
    }
}

// Every letter folds, not only Latin-1.
TEST_F(PathResolveTest, CaseFoldingCoversEveryScript) {
    const std::vector<std::pair<std::string, std::string>> cases = {
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

TEST_F(PathResolveTest, MissingNameStaysNormalised) {
    EXPECT_FALSE(PathExists(W("data/Art/none.bmp")));
    EXPECT_EQ(ResolvePath(dir.Wide() + L"\\DATA\\none.bmp"), dir.Wide() + L"/DATA/none.bmp");
    EXPECT_TRUE(IsDirectoryPath(dir.Wide() + L"/DATA/art"));
    EXPECT_FALSE(IsDirectoryPath(W("data/Art/bg.bmp")));
}

TEST(PathResolve, Separators) {
    EXPECT_EQ(NormalizeSeparators(L"a\\\\b//c\\"), L"a/b/c/");
    EXPECT_EQ(ResolvePath(L""), L"");
}
