#include "support/PathResolve.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;
using namespace Vellmar;

class PathResolveTest : public ::testing::Test {
protected:
    void SetUp() override {
        root = fs::temp_directory_path() /
               ("vellmar-resolve-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                "-" + std::to_string(::getpid()));
        fs::create_directories(root / "data" / "Art");
        std::ofstream(root / "data" / "Art" / "bg.bmp") << "x";
    }
    void TearDown() override { fs::remove_all(root); }
    std::wstring W(const std::string& relative) { return (root / relative).wstring(); }
    fs::path root;
};

TEST_F(PathResolveTest, WindowsStyleNameFindsFile) {
    const std::wstring expected = W("data/Art/bg.bmp");
    for (const char* name : {"data/Art/bg.bmp", "Data\\ART\\BG.BMP", "DATA//art\\Bg.bmp"}) {
        EXPECT_EQ(ResolvePath(root.wstring() + L"/" + fs::path(name).wstring()), expected) << name;
        EXPECT_TRUE(PathExists(root.wstring() + L"\\" + fs::path(name).wstring())) << name;
    }
}

TEST_F(PathResolveTest, MissingNameStaysNormalised) {
    EXPECT_FALSE(PathExists(W("data/Art/none.bmp")));
    EXPECT_EQ(ResolvePath(root.wstring() + L"\\DATA\\none.bmp"), root.wstring() + L"/DATA/none.bmp");
    EXPECT_TRUE(IsDirectoryPath(root.wstring() + L"/DATA/art"));
    EXPECT_FALSE(IsDirectoryPath(W("data/Art/bg.bmp")));
}

TEST(PathResolve, Separators) {
    EXPECT_EQ(NormalizeSeparators(L"a\\\\b//c\\"), L"a/b/c/");
    EXPECT_EQ(ResolvePath(L""), L"");
}
