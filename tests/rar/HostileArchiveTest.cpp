#include "tests/rar/RarFixture.h"
#include "update/RarArchive.h"

#include <gtest/gtest.h>

#include <functional>

using namespace RarTest;
using Vellmar::Testing::Rar4Writer;

namespace {

struct HostileCase {
    const char* label;
    // Builds the archive; `sentinel` is the absolute path of the folder beside the destination.
    std::function<Rar4Writer(const std::string& sentinel)> archive;
    std::vector<std::pair<const char*, const char*>> environment = {};
};

const HostileCase kHostile[] = {
    {"DotDot", [](const std::string&) { return Rar4Writer().file("../sentinel/x", "pwn"); }},
    {"NestedDotDot",
     [](const std::string&) { return Rar4Writer().file("a/../../sentinel/x", "pwn"); }},
    {"Absolute", [](const std::string& s) { return Rar4Writer().file(s + "/x", "pwn"); }},
    {"BackslashDotDot",
     [](const std::string&) { return Rar4Writer().file("..\\sentinel\\x", "pwn"); }},
    {"DrivePrefix", [](const std::string&) { return Rar4Writer().file("C:\\x", "pwn"); }},
    {"SymlinkThenFileThroughIt",
     [](const std::string&) {
         return Rar4Writer().symlink("link", "../sentinel").file("link/x", "pwn");
     }},
    {"AbsoluteSymlinkThenFile",
     [](const std::string& s) { return Rar4Writer().symlink("link", s).file("link/x", "pwn"); }},
    {"PlantedLinkInDestination",
     [](const std::string&) { return Rar4Writer().file("planted/x", "pwn"); }},
    {"SizeBombOneFile",
     [](const std::string&) { return Rar4Writer().file("bomb.bin", std::string(5000, 'b')); },
     {{"VELLMAR_UNRAR_MAX_TOTAL_SIZE", "4096"}}},
    {"SizeBombManyFiles",
     [](const std::string&) {
         Rar4Writer writer;
         for (int i = 0; i < 6; ++i)
             writer.file(std::string("part") += std::to_string(i), std::string(1000, 'b'));
         return writer;
     },
     {{"VELLMAR_UNRAR_MAX_TOTAL_SIZE", "4096"}}},
    {"TooManyEntries",
     [](const std::string&) {
         Rar4Writer writer;
         for (int i = 0; i < 6; ++i)
             writer.file(std::string("f") += std::to_string(i), "x");
         return writer;
     },
     {{"VELLMAR_UNRAR_MAX_ENTRIES", "5"}}},
};

class HostileArchive : public RarFolderTest, public ::testing::WithParamInterface<HostileCase> {
protected:
    void SetUp() override {
        RarFolderTest::SetUp();
        dir.Write("sentinel/x", "original");
        dir.Write("sentinel/inner/keep.txt", "keep");
        fs::create_directories(dir / "dest");
        fs::create_directory_symlink("../sentinel", dir / "dest" / "planted");
    }
};

TEST_P(HostileArchive, FailsAndLeavesTheSentinelUntouched) {
    const HostileCase& c = GetParam();
    std::vector<std::unique_ptr<ScopedEnv>> env;
    for (const auto& [name, value] : c.environment)
        env.push_back(std::make_unique<ScopedEnv>(name, value));
    const std::string sentinel = (dir / "sentinel").string();
    const auto before = Snapshot(dir / "sentinel");
    const std::string rar = save("hostile.rar", c.archive(sentinel).bytes());

    RarArchive archive(LibraryPath());
    archive.open(rar, RAR_OM_EXTRACT);
    bool failed = false;
    try {
        while (archive.items().next())
            archive.items().extractToPath((dir / "dest").string());
    } catch (const RarException&) {
        failed = true;
    }
    EXPECT_TRUE(failed);
    EXPECT_EQ(Snapshot(dir / "sentinel"), before);
    for (const auto& [name, kind] : Snapshot(dir / "dest")) {
        EXPECT_NE(kind.rfind("file:pwn", 0), 0u) << name;
        EXPECT_NE(name.find(':'), 1u) << name; // nothing named after a drive
    }
}

INSTANTIATE_TEST_SUITE_P(Rar, HostileArchive, ::testing::ValuesIn(kHostile),
                         [](const auto& info) { return std::string(info.param.label); });

TEST_F(RarFolderTest, SizeCapStillAllowsWhatFits) {
    ScopedEnv cap("VELLMAR_UNRAR_MAX_TOTAL_SIZE", "4096");
    Rar4Writer writer;
    writer.file("a", std::string(2048, 'a')).file("b", std::string(2048, 'b'));
    RarArchive archive(LibraryPath());
    archive.open(save("fits.rar", writer.bytes()), RAR_OM_EXTRACT);
    while (archive.items().next())
        archive.items().extractToPath((dir / "out").string());
    EXPECT_EQ(Snapshot(dir / "out").size(), 2u);
}

TEST_F(RarFolderTest, FileOverPlantedLinkReplacesTheLinkNotItsTarget) {
    fs::create_directories(dir / "dest");
    dir.Write("target.txt", "original");
    fs::create_symlink("../target.txt", dir / "dest" / "news.txt");
    RarArchive archive(LibraryPath());
    archive.open(save("one.rar", Rar4Writer().file("news.txt", "new").bytes()), RAR_OM_EXTRACT);
    ASSERT_TRUE(archive.items().next());
    archive.items().extractToPath((dir / "dest").string());
    EXPECT_EQ(ReadFile(dir / "target.txt"), "original");
    EXPECT_FALSE(fs::is_symlink(dir / "dest" / "news.txt"));
    EXPECT_EQ(ReadFile(dir / "dest" / "news.txt"), "new");
}

} // namespace
