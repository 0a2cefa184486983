// The library's own interface, called directly: the callback protocol and the operations
// that RarArchive does not use.
#include "tests/rar/RarFixture.h"
#include "tests/support/Rar5Writer.h"
#include "update/UnrarLibrary.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

using namespace RarTest;
using Vellmar::Testing::Rar4Writer;
using Vellmar::Testing::Rar5Writer;

namespace {

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

class UnrarInterface : public RarFolderTest {
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
    writer.add({"s.txt", "secret", Vellmar::Testing::RarEntry::Kind::File, true});
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
        const std::string path = save("a.rar", c.archive);
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
        std::string name = path;
        RAROpenArchiveData data{};
        data.ArcName = name.data();
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
