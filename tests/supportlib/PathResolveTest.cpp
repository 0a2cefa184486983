#include "support/PathResolve.h"

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
        EXPECT_EQ(ResolvePath(dir.Wide() + L"/" + fs::path(name).wstring()), expected) << name;
        EXPECT_TRUE(PathExists(dir.Wide() + L"\\" + fs::path(name).wstring())) << name;
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
