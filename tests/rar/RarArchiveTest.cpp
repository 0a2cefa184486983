#include "update/RarArchive.h"
#include "support/Text.h"
#include "tests/rar/RarFixture.h"
#include "tests/support/Rar5Writer.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <vector>

using namespace RarTest;
using Vellmar::Testing::Rar4Writer;
using Vellmar::Testing::Rar5Writer;
using Vellmar::Testing::RarEntry;

namespace {

// Walks the whole archive the way the news update does; returns the item names.
std::vector<std::string> ExtractAll(RarArchive& archive, const std::string& rar,
                                    const std::string& folder) {
    std::vector<std::string> names;
    archive.open(rar, RAR_OM_EXTRACT);
    while (archive.items().next()) {
        names.push_back(archive.items().fileName());
        archive.items().extractToPath(folder);
    }
    return names;
}

std::string AllBytes() {
    std::string bytes;
    for (int i = 0; i < 256 * 40; ++i)
        bytes += static_cast<char>(i % 256);
    return bytes;
}

class RarArchiveTest : public RarFolderTest {};

// BLAKE2sp of AllBytes(), computed apart from the library.
const std::string kAllBytesBlake2 =
    "\xaa\x51\x09\x27\x12\x41\x07\x73\xdc\x39\x96\xc7\xbe\x3b\x2f\xb9"
    "\x6c\x8c\x82\x55\x43\x24\x14\x80\xd3\xe9\x34\x78\xb9\x74\xca\x69";

template <typename Writer> std::string NewsBytes() {
    Writer writer;
    writer.folder("news")
        .file("news/index.html", "<html>news</html>\n")
        .add({.name = "news/img/logo.bin", .data = AllBytes(), .blake2 = kAllBytesBlake2})
        .file("news/empty.txt", "")
        .file("Ünïcødé/日本語.txt", "wide names")
        .file("top.txt", "top");
    return writer.bytes();
}

TEST_F(RarArchiveTest, ExtractsFoldersAndFilesByteExact) {
    // RAR4 has no BLAKE2 field: there the logo carries its CRC32.
    for (const std::string& bytes : {NewsBytes<Rar4Writer>(), NewsBytes<Rar5Writer>()}) {
        const std::string out = (dir / "out").string();
        fs::remove_all(out);
        RarArchive archive(LibraryPath());
        const auto names = ExtractAll(archive, save("news.rar", bytes), out);

        EXPECT_EQ(names,
                  (std::vector<std::string>{"news", "news/index.html", "news/img/logo.bin",
                                            "news/empty.txt", "Ünïcødé/日本語.txt", "top.txt"}));
        const std::map<std::string, std::string> expected{
            {"news", "dir"},
            {"news/index.html", "file:<html>news</html>\n"},
            {"news/img", "dir"},
            {"news/img/logo.bin", "file:" + AllBytes()},
            {"news/empty.txt", "file:"},
            {"Ünïcødé", "dir"},
            {"Ünïcødé/日本語.txt", "file:wide names"},
            {"top.txt", "file:top"}};
        EXPECT_EQ(Snapshot(out), expected);
    }
}

TEST_F(RarArchiveTest, OrderViolationsAreRefusedAndANextSkipsTheUnextractedItem) {
    const std::string rar =
        save("two.rar", Rar4Writer().file("first.txt", "1").file("second.txt", "2").bytes());
    const std::string out = (dir / "out").string();
    RarArchive archive(LibraryPath());
    archive.open(rar, RAR_OM_EXTRACT);
    auto expectRefused = [&](auto action, const std::string& text) {
        try {
            action();
            ADD_FAILURE() << "no exception for: " << text;
        } catch (const Vellmar::InvalidOperationException& e) {
            EXPECT_EQ(e.Message(), text);
        }
    };
    expectRefused([&] { archive.items().extractToPath(out); },
                  "RarArchive::Item::extractToPath: item is not initialized.");
    expectRefused([&] { archive.open(rar, RAR_OM_EXTRACT); },
                  "UnRar::open: RAR archive already opened.");
    ASSERT_TRUE(archive.items().next());
    ASSERT_TRUE(archive.items().next());
    EXPECT_EQ(archive.items().fileName(), "second.txt");
    archive.items().extractToPath(out);
    expectRefused([&] { archive.items().extractToPath(out); },
                  "RarArchive::Item::extractToPath: item is no longer valid.");
    EXPECT_FALSE(archive.items().next());
    expectRefused([&] { archive.items().extractToPath(out); },
                  "RarArchive::Item::extractToPath: item is no longer valid.");
    EXPECT_EQ(Snapshot(out), (std::map<std::string, std::string>{{"second.txt", "file:2"}}));
}

TEST_F(RarArchiveTest, EmptyArchiveEndsAndReopensAfterClose) {
    RarArchive archive; // finds the library beside the program
    archive.open(save("empty.rar", Rar4Writer().bytes()), RAR_OM_EXTRACT);
    EXPECT_FALSE(archive.items().next());
    EXPECT_FALSE(archive.items().next());
    archive.close();
    const std::string rar = save("one.rar", Rar4Writer().file("a.txt", "A").bytes());
    for (int round = 0; round < 2; ++round) {
        archive.close();
        archive.open(rar, RAR_OM_EXTRACT);
        ASSERT_TRUE(archive.items().next());
        EXPECT_EQ(archive.items().fileName(), "a.txt");
    }
}

struct BrokenCase {
    const char* label;
    std::function<std::optional<std::string>()> bytes; // nullopt: no file at all
    int operation;
    int code;
    const char* message;
};

template <typename Writer> std::function<std::string()> Flipped(RarEntry entry = {"data.bin"}) {
    return [entry]() mutable {
        entry.data = "some payload bytes";
        std::string bytes = Writer().add(entry).bytes();
        bytes[bytes.find("payload")] ^= 0x20;
        return bytes;
    };
}

template <typename Writer> std::function<std::string()> One(RarEntry entry) {
    return [entry] { return Writer().add(entry).bytes(); };
}

constexpr char kCrcError[] = "RAR process file failed: File CRC error.";
constexpr char kHeaderBroken[] = "RAR read header failed: File header broken.";
using Kind = RarEntry::Kind;

const BrokenCase kBroken[] = {
    {"MissingFile", [] { return std::optional<std::string>(); }, 0, ERAR_EOPEN,
     "RAR open failed: File open error."},
    {"TextFile", [] { return std::string("just some text, not an archive\n"); }, 0, 13,
     "RAR open failed: File is not a valid RAR archive."},
    {"FlippedDataByte", Flipped<Rar4Writer>(), 1, 12, kCrcError},
    {"Rar5FlippedDataByte", Flipped<Rar5Writer>(), 1, 12, kCrcError},
    {"Rar5WrongBlake2", Flipped<Rar5Writer>({.name = "x", .blake2 = std::string(32, 'h')}), 1, 12,
     kCrcError},
    {"Rar5WrongDataCrc", One<Rar5Writer>({.name = "x", .data = "abc", .badDataCrc = true}), 1, 12,
     kCrcError},
    {"Rar5BrokenHeaderCrc", One<Rar5Writer>({.name = "x", .data = "abc", .badHeaderCrc = true}), 2,
     12, kHeaderBroken},
    {"WrongDataCrc", One<Rar4Writer>({"x.txt", "abc", Kind::File, false, true}), 1, 12, kCrcError},
    {"BrokenHeaderCrc", One<Rar4Writer>({"x.txt", "abc", Kind::File, false, false, true}), 2, 12,
     kHeaderBroken},
    {"TruncatedData",
     [] {
         const std::string bytes = Rar4Writer().file("x.bin", std::string(4000, 'x')).bytes();
         return bytes.substr(0, bytes.size() - 2000);
     },
     1, 12, kCrcError},
    {"EncryptedItem", One<Rar4Writer>({"x.txt", "abc", Kind::File, true}), 1, 22,
     "RAR process file failed: Unexpected error."},
    {"EncryptedHeaders", [] { return Rar4Writer().encryptedHeaders().file("x", "y").bytes(); }, 0,
     14, "RAR open failed: Unknown encryption used for archive headers."},
    {"SolidRar4", [] { return Rar4Writer().solid().file("x.txt", "abc").bytes(); }, 1, 14,
     "RAR process file failed: Unknown archive format."},
};

TEST_F(RarArchiveTest, BrokenArchivesFailWithTheLibraryResult) {
    for (const BrokenCase& c : kBroken) {
        SCOPED_TRACE(c.label);
        const std::string out = (dir / c.label).string();
        RarArchive archive(LibraryPath());
        try {
            const auto bytes = c.bytes();
            ExtractAll(archive, bytes ? save("broken.rar", *bytes) : (dir / "absent.rar").string(),
                       out);
            ADD_FAILURE() << "no exception";
        } catch (const RarException& e) {
            EXPECT_EQ(e.Operation(), c.operation);
            EXPECT_EQ(e.ResultCode(), c.code);
            EXPECT_EQ(e.Message(), c.message);
            EXPECT_EQ(e.Inner(), nullptr);
        }
        // A failed item leaves nothing behind under its name.
        EXPECT_TRUE(Snapshot(out).empty());
    }
}

TEST_F(RarArchiveTest, VolumeSetExtractsAcrossVolumesOnceTheSecondIsThere) {
    const std::string big = AllBytes();
    const auto volumes = Rar4Writer().file("a.txt", "A").file("big.bin", big).twoVolumes(3000);
    const std::string first = save("set.part1.rar", volumes[0]);
    RarArchive archive(LibraryPath());
    try {
        ExtractAll(archive, first, (dir / "missing").string());
        FAIL();
    } catch (const RarException& e) {
        EXPECT_EQ(e.Operation(), 1);
        EXPECT_EQ(e.ResultCode(), ERAR_EOPEN);
        const auto* cause = dynamic_cast<const Vellmar::ArgumentException*>(e.Inner());
        ASSERT_NE(cause, nullptr);
        EXPECT_EQ(cause->ArgumentName(), "volumeName");
        EXPECT_EQ(cause->Message(), "volume is missing: " + (dir / "set.part2.rar").string());
    }
    using Tree = std::map<std::string, std::string>;
    EXPECT_EQ(Snapshot(dir / "missing"), (Tree{{"a.txt", "file:A"}})) << "no half of big.bin";
    archive.close();
    save("set.part2.rar", volumes[1]);
    ExtractAll(archive, first, (dir / "out").string());
    EXPECT_EQ(Snapshot(dir / "out"), (Tree{{"a.txt", "file:A"}, {"big.bin", "file:" + big}}));
}

// A handler failure stops the library and comes back as the cause.
class FailingArchive : public RarArchive {
public:
    using RarArchive::RarArchive;

protected:
    void onProcessData(const unsigned char*, long) override {
        throw Vellmar::IOException("disk quota");
    }
};

TEST_F(RarArchiveTest, HandlerExceptionBecomesTheCause) {
    FailingArchive archive(LibraryPath());
    try {
        ExtractAll(archive, save("one.rar", Rar4Writer().file("a.txt", "A").bytes()),
                   (dir / "out").string());
        FAIL();
    } catch (const RarException& e) {
        EXPECT_EQ(e.Operation(), 1);
        ASSERT_NE(dynamic_cast<const Vellmar::IOException*>(e.Inner()), nullptr);
        EXPECT_EQ(e.Inner()->Message(), "disk quota");
    }
    EXPECT_TRUE(Snapshot(dir / "out").empty());
}

// The scripted library sends "<message>,<P2>" to the callback and names the item after what
// the callback answered; the failures name their cause ("" for none).
TEST(CallbackAnswer, FollowsTheProtocol) {
    const std::pair<const char*, const char*> cases[] = {
        {"1,10", "answered 1"}, {"2,128", "answered 1"},
        {"0,1", "answered 1"},  {"3,0", ""},
        {"0,0", "volumeName"},  {"0,7", "P2"}};
    for (const auto& [script, outcome] : cases) {
        RarArchive archive(LibraryPath("libunrar_scripted.so"));
        archive.open(script, RAR_OM_EXTRACT);
        try {
            ASSERT_TRUE(archive.items().next()) << script;
            EXPECT_EQ("answered " + archive.items().fileName(), outcome) << script;
        } catch (const RarException& e) {
            EXPECT_EQ(e.Operation(), 2) << script;
            EXPECT_EQ(e.ResultCode(), ERAR_UNKNOWN) << script;
            const auto* cause = dynamic_cast<const Vellmar::ArgumentException*>(e.Inner());
            EXPECT_EQ(cause ? cause->ArgumentName() : e.Inner() ? "other" : "", outcome) << script;
        }
    }
}

struct HostileCase {
    const char* label;
    // Builds the archive; `sentinel` is the absolute path of the folder beside the destination.
    std::function<Rar4Writer(const std::string& sentinel)> archive;
    std::vector<std::pair<const char*, const char*>> environment = {};
};

// `count` files of `size` bytes.
Rar4Writer Files(int count, std::size_t size) {
    Rar4Writer writer;
    for (int i = 0; i < count; ++i)
        writer.file("f" + std::to_string(i), std::string(size, 'b'));
    return writer;
}

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
     [](const std::string&) { return Files(1, 5000); },
     {{"VELLMAR_UNRAR_MAX_TOTAL_SIZE", "4096"}}},
    {"SizeBombManyFiles",
     [](const std::string&) { return Files(6, 1000); },
     {{"VELLMAR_UNRAR_MAX_TOTAL_SIZE", "4096"}}},
    {"TooManyEntries",
     [](const std::string&) { return Files(6, 1); },
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
    EXPECT_THROW(ExtractAll(archive, rar, (dir / "dest").string()), RarException);
    EXPECT_EQ(Snapshot(dir / "sentinel"), before);
    for (const auto& [name, kind] : Snapshot(dir / "dest")) {
        EXPECT_NE(kind.rfind("file:pwn", 0), 0u) << name;
        EXPECT_NE(name.find(':'), 1u) << name; // nothing named after a drive
    }
}

INSTANTIATE_TEST_SUITE_P(Rar, HostileArchive, ::testing::ValuesIn(kHostile),
                         [](const auto& info) { return std::string(info.param.label); });

TEST_F(RarArchiveTest, SizeCapStillAllowsWhatFits) {
    ScopedEnv cap("VELLMAR_UNRAR_MAX_TOTAL_SIZE", "4096");
    RarArchive archive(LibraryPath());
    ExtractAll(archive, save("fits.rar", Files(2, 2048).bytes()), (dir / "out").string());
    EXPECT_EQ(Snapshot(dir / "out").size(), 2u);
}

TEST_F(RarArchiveTest, FileOverPlantedLinkReplacesTheLinkNotItsTarget) {
    fs::create_directories(dir / "dest");
    dir.Write("target.txt", "original");
    fs::create_symlink("../target.txt", dir / "dest" / "news.txt");
    RarArchive archive(LibraryPath());
    ExtractAll(archive, save("one.rar", Rar4Writer().file("news.txt", "new").bytes()),
               (dir / "dest").string());
    EXPECT_EQ(ReadFile(dir / "target.txt"), "original");
    EXPECT_FALSE(fs::is_symlink(dir / "dest" / "news.txt"));
    EXPECT_EQ(ReadFile(dir / "dest" / "news.txt"), "new");
}

} // namespace
