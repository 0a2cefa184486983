// RarArchive over the bundled library, and the library's own interface called directly.
#include "update/RarArchive.h"
#include "support/Text.h"
#include "tests/support/Rar4Writer.h"
#include "tests/support/Rar5Writer.h"
#include "tests/support/ScopedEnv.h"
#include "tests/support/TempDir.h"
#include "update/UnrarLibrary.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using Vellmar::Testing::Rar4Writer;
using Vellmar::Testing::Rar5Writer;
using Vellmar::Testing::RarEntry;
using Vellmar::Testing::ReadFile;
using Vellmar::Testing::ScopedEnv;
using Vellmar::Testing::Snapshot;

namespace {

std::wstring LibraryPath(const std::string& file = "libunrar.so") {
    const char* bin = std::getenv("VELLMAR_TEST_BIN_DIR");
    // Test programs live in the same folder as the libraries.
    return Vellmar::Utf8ToWide(
        (bin ? fs::path(bin) : fs::canonical("/proc/self/exe").parent_path()).string() + "/" +
        file);
}

// A fresh folder per test.
class RarArchiveTest : public Vellmar::Testing::TempDirTest {
protected:
    std::string save(const std::string& name, const std::string& bytes) const {
        const std::string path = (dir / name).string();
        Rar4Writer::save(path, bytes);
        return path;
    }
};

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

class HostileArchive : public RarArchiveTest, public ::testing::WithParamInterface<HostileCase> {
protected:
    void SetUp() override {
        RarArchiveTest::SetUp();
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

// The library's own interface, called directly: the callback protocol and the operations
// that RarArchive does not use.
struct Recorder {
    std::vector<std::pair<UINT, long>> messages;
    std::string data;
    int stopAfter = -1; // answer -1 at this UCM_PROCESSDATA call
    std::string rename; // written into the buffer of RAR_VOL_ASK
};

int Record(UINT msg, LPARAM user, LPARAM p1, LPARAM p2) {
    auto* r = reinterpret_cast<Recorder*>(user);
    r->messages.emplace_back(msg, static_cast<long>(p2));
    if (msg == UCM_PROCESSDATA) {
        r->data.append(reinterpret_cast<const char*>(p1), static_cast<std::size_t>(p2));
        if (r->stopAfter >= 0 && r->stopAfter-- == 0)
            return -1;
    }
    if (msg == UCM_CHANGEVOLUME && p2 == RAR_VOL_ASK) {
        if (r->rename.empty())
            return -1;
        std::strcpy(reinterpret_cast<char*>(p1), r->rename.c_str());
    }
    return 1;
}

class UnrarInterface : public RarArchiveTest {
protected:
    HANDLE open(const std::string& path) {
        RAROpenArchiveDataEx data{};
        std::string name = path;
        data.ArcName = name.data();
        data.OpenMode = RAR_OM_EXTRACT;
        HANDLE handle = lib.RAROpenArchiveEx(&data);
        EXPECT_NE(handle, nullptr) << data.OpenResult;
        flags = data.Flags;
        lib.RARSetCallback(handle, Record, reinterpret_cast<LPARAM>(&recorder));
        return handle;
    }
    int next(HANDLE handle) {
        header = std::make_unique<RARHeaderDataEx>();
        return lib.RARReadHeaderEx(handle, header.get());
    }

    Vellmar::UnrarLibrary lib{LibraryPath()};
    Recorder recorder;
    std::unique_ptr<RARHeaderDataEx> header;
    unsigned flags = 0;
};

TEST_F(UnrarInterface, HeaderDescribesTheItem) {
    Rar4Writer writer;
    writer.folder("dir").file("dir/Ünï.txt", "12345");
    writer.add({"s.txt", "secret", Kind::File, true});
    HANDLE h = open(save("a.rar", writer.bytes()));
    ASSERT_EQ(next(h), ERAR_SUCCESS);
    EXPECT_EQ(header->Flags, static_cast<unsigned>(RHDF_DIRECTORY));
    ASSERT_EQ(next(h), ERAR_SUCCESS);
    EXPECT_STREQ(header->FileName, "dir/Ünï.txt");
    EXPECT_EQ(std::wstring(header->FileNameW), L"dir/Ünï.txt");
    EXPECT_EQ(header->UnpSize, 5u);
    EXPECT_EQ(header->Flags, 0u);
    // An encrypted item asks the callback for a password and fails without one.
    ASSERT_EQ(next(h), ERAR_SUCCESS);
    EXPECT_EQ(header->Flags, static_cast<unsigned>(RHDF_ENCRYPTED));
    std::string out = (dir / "out").string();
    EXPECT_EQ(lib.RARProcessFile(h, RAR_EXTRACT, out.data(), nullptr), ERAR_MISSING_PASSWORD);
    EXPECT_EQ(recorder.messages, (std::vector<std::pair<UINT, long>>{{UCM_NEEDPASSWORD, 128}}));
    EXPECT_EQ(next(h), ERAR_END_ARCHIVE);
    EXPECT_EQ(lib.RARProcessFile(h, RAR_SKIP, nullptr, nullptr), ERAR_END_ARCHIVE);
    EXPECT_EQ(lib.RARCloseArchive(h), ERAR_SUCCESS);
}

TEST_F(UnrarInterface, ProcessDataSeesEveryByteAndMinusOneStops) {
    const std::string payload(3 << 20, 'p'); // several reads
    const std::string rar = save("a.rar", Rar4Writer().file("p.bin", payload).bytes());
    // The last round answers -1 to the first block: the item fails and leaves nothing behind.
    const std::pair<int, bool> rounds[] = {
        {RAR_TEST, false}, {RAR_EXTRACT, false}, {RAR_EXTRACT, true}};
    for (const auto& [op, stop] : rounds) {
        recorder = {};
        recorder.stopAfter = stop ? 0 : -1;
        HANDLE h = open(rar);
        ASSERT_EQ(next(h), ERAR_SUCCESS);
        std::string out = (dir / (stop ? "stopped" : "out")).string();
        const int result = lib.RARProcessFile(h, op, out.data(), nullptr);
        EXPECT_EQ(result == ERAR_SUCCESS, !stop) << result;
        EXPECT_TRUE(stop ? Snapshot(out).empty() : recorder.data == payload) << op << stop;
        lib.RARCloseArchive(h);
    }
}

TEST_F(UnrarInterface, TestChecksWithoutWriting) {
    for (std::string bytes : {Rar4Writer().file("x.txt", "checked data").bytes(),
                              Rar5Writer().file("x.txt", "checked data").bytes()}) {
        bytes[bytes.find("checked")] ^= 1;
        HANDLE h = open(save("a.rar", bytes));
        ASSERT_EQ(next(h), ERAR_SUCCESS);
        EXPECT_EQ(lib.RARProcessFile(h, RAR_TEST, nullptr, nullptr), ERAR_BAD_DATA);
        lib.RARCloseArchive(h);
        EXPECT_FALSE(fs::exists("x.txt"));
    }
}

// The fields other programs read from the header records, as the archive stores them.
TEST_F(UnrarInterface, HeaderFieldsComeFromTheArchive) {
    const std::string kHash(32, '\x5a');
    const unsigned kAbcCrc = 0x352441c2;
    const struct {
        const char* label;
        std::string archive;
        unsigned hostOs, attributes, crc, version, dictionaryKb, hashType;
    } cases[] = {
        {"Rar4Windows", Rar4Writer().add({.name = "a", .data = "abc", .windows = true}).bytes(), 2,
         0x20, kAbcCrc, 29, 64, RAR_HASH_CRC32},
        {"Rar4Unix", Rar4Writer().file("a", "abc").bytes(), 3, 0100644, kAbcCrc, 29, 64,
         RAR_HASH_CRC32},
        {"Rar5Windows", Rar5Writer().add({.name = "a", .data = "abc", .windows = true}).bytes(), 2,
         0x20, kAbcCrc, 50, 128, RAR_HASH_CRC32},
        {"Rar5Blake2", Rar5Writer().add({.name = "a", .data = "abc", .blake2 = kHash}).bytes(), 3,
         0100644, 0, 50, 128, RAR_HASH_BLAKE2},
    };

    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        std::string path = save("a.rar", c.archive);
        HANDLE h = open(path);
        ASSERT_EQ(next(h), ERAR_SUCCESS);
        const RARHeaderDataEx& x = *header;
        EXPECT_EQ(std::vector<unsigned>({x.HostOS, x.FileAttr, x.FileCRC, x.Method, x.UnpVer,
                                         x.DictSize, x.HashType, x.PackSize}),
                  std::vector<unsigned>({c.hostOs, c.attributes, c.crc, 0x30, c.version,
                                         c.dictionaryKb, c.hashType, 3}));
        if (c.hashType == RAR_HASH_BLAKE2) {
            EXPECT_EQ(std::string(header->Hash, 32), kHash);
        }
        lib.RARCloseArchive(h);

        // The older record carries the same values.
        RAROpenArchiveData data{};
        data.ArcName = path.data();
        h = lib.RAROpenArchive(&data);
        RARHeaderData old{};
        ASSERT_EQ(lib.RARReadHeader(h, &old), ERAR_SUCCESS);
        EXPECT_EQ(std::vector<unsigned>({old.HostOS, old.FileAttr, old.FileCRC, old.UnpVer}),
                  std::vector<unsigned>({c.hostOs, c.attributes, c.crc, c.version}));
        lib.RARCloseArchive(h);
    }
}

TEST_F(UnrarInterface, DestNameNamesTheTarget) {
    HANDLE h = open(save("a.rar", Rar4Writer().file("deep/x.txt", "named").bytes()));
    ASSERT_EQ(next(h), ERAR_SUCCESS);
    std::wstring target = dir.Wide("renamed.txt");
    EXPECT_EQ(lib.RARProcessFileW(h, RAR_EXTRACT, nullptr, target.data()), ERAR_SUCCESS);
    EXPECT_EQ(ReadFile(dir / "renamed.txt"), "named");
    lib.RARCloseArchive(h);
}

TEST_F(UnrarInterface, VolumeCallbackNotifiesAndCanRedirect) {
    const std::string big(10000, 'v');
    const auto volumes = Rar4Writer().file("big.bin", big).twoVolumes(4000);
    const std::string first = save("set.part1.rar", volumes[0]);
    save("moved.rar", volumes[1]);
    recorder.rename = (dir / "moved.rar").string();
    HANDLE h = open(first);
    EXPECT_TRUE(flags & ROADF_VOLUME);
    EXPECT_TRUE(flags & ROADF_FIRSTVOLUME);
    ASSERT_EQ(next(h), ERAR_SUCCESS);
    std::string out = (dir / "out").string();
    EXPECT_EQ(lib.RARProcessFile(h, RAR_EXTRACT, out.data(), nullptr), ERAR_SUCCESS);
    EXPECT_EQ(ReadFile(dir / "out" / "big.bin"), big);
    std::vector<long> volumeModes;
    for (const auto& [msg, p2] : recorder.messages)
        if (msg == UCM_CHANGEVOLUME)
            volumeModes.push_back(p2);
    EXPECT_EQ(volumeModes, (std::vector<long>{RAR_VOL_ASK, RAR_VOL_NOTIFY}));
    lib.RARCloseArchive(h);
}

} // namespace
