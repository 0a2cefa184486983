#include "platform/FileVersion.h"
#include "tests/platform/PeBuilder.h"
#include "tests/platform/Scratch.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

using PlatformTest::PeBuilder;
using Vellmar::Platform::FileVersion;

namespace {

std::string AsString(const std::vector<std::uint8_t>& bytes) {
    return {bytes.begin(), bytes.end()};
}

TEST(FileVersion, ReadsBothImageKindsFromFile) {
    TempDir scratch;
    // A Windows-style name in other letter case finds the file; a two-digit minor is not padded.
    const struct {
        bool wide;
        const char* file;
        const wchar_t* asked;
        std::uint32_t ms;
        const wchar_t *full, *majorMinor;
    } cases[] = {{false, "setup32.exe", L"\\setup32.exe", 0x00010005, L"1.5.3.7", L"1.05"},
                 {true, "Setup64.EXE", L"\\SETUP64.exe", 0x000A007B, L"10.123.3.7", L"10.123"}};
    for (const auto& c : cases) {
        PeBuilder pe;
        pe.pe32Plus = c.wide;
        pe.versionMs = c.ms;
        scratch.Write(c.file, AsString(pe.Build()));
        const auto version = FileVersion::Read(scratch.Wide() + c.asked);
        ASSERT_TRUE(version) << c.file;
        EXPECT_EQ(std::make_tuple(version->MostSignificant(), version->LeastSignificant(),
                                  version->FullText(), version->MajorMinorText()),
                  std::make_tuple(c.ms, 0x00030007u, c.full, c.majorMinor));
    }
}

TEST(FileVersion, FilesWithoutVersionHaveNone) {
    TempDir scratch;
    PeBuilder otherType;
    otherType.resourceType = 3; // an icon, no version
    PeBuilder badSignature;
    badSignature.signature = 0xFEEF04BE;
    // Files shorter than a DOS header all end at its read; an ELF program stands for them.
    const std::vector<std::string> contents{"", "\177ELF\2\1\1", AsString(otherType.Build()),
                                            AsString(badSignature.Build())};
    for (std::size_t i = 0; i < contents.size(); ++i)
        EXPECT_FALSE(FileVersion::Read(Wide(scratch.Write("f" + std::to_string(i), contents[i]))))
            << i;
    EXPECT_FALSE(FileVersion::Read(Wide(scratch.Path() / "missing.exe")));
    EXPECT_FALSE(FileVersion::Read(scratch.Wide()));
    const auto fifo = scratch.Path() / "fifo.exe";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_FALSE(FileVersion::Read(Wide(fifo))); // must not block
}

// Offsets a hostile file could state; each must fail cleanly (and stay in bounds under ASan).
TEST(FileVersion, HostileOffsetsFailCleanly) {
    const std::vector<std::uint8_t> good = PeBuilder{}.Build();
    const std::size_t section = PeBuilder::kSectionFileOffset;
    const std::size_t sectionHeader = 0x40 + 24 + 224;
    struct Patch {
        const char* what;
        std::size_t at;
        std::uint32_t value;
        bool stillReadable = false;
    };
    const Patch patches[] = {
        {"PE offset past the end", 0x3C, 0xFFFFFFF0u},
        {"PE offset into the last bytes", 0x3C, static_cast<std::uint32_t>(good.size() - 3)},
        {"too many sections", 0x40 + 6, 0xFFFF},
        {"optional header size huge", 0x40 + 20, 0xFFFF},
        {"section raw size past the end", sectionHeader + 16, 0x7FFFFFFF, true},
        {"section raw pointer past the end", sectionHeader + 20, 0xFFFFFF00u},
        {"resource table outside every section", 0x40 + 24 + 92 + 4 + 16, 0x9000},
        {"directory loops onto itself", section + 20, 0x80000000u},
        {"subdirectory past the end", section + 20, 0xFFFFFFFFu},
        {"entry count huge", section + 12, 0xFFFFFFFFu, true}, // the wanted entry comes first
        {"data entry past the end", section + 0x18 * 2 + 20, 0x7FFFFFF0},
        {"data RVA wraps", section + 0x48, 0xFFFFFFF0u},
        {"data size huge", section + 0x4C, 0xFFFFFFFFu},
        {"data size too small", section + 0x4C, 20},
        {"block length too small", section + 0x58, 0x0010},
        {"value length zero", section + 0x58, 0x0000005C},
    };
    for (const Patch& p : patches) {
        std::vector<std::uint8_t> bytes = good;
        PlatformTest::PutLe(bytes, p.at, p.value);
        EXPECT_EQ(FileVersion::FromImage(bytes).has_value(), p.stillReadable) << p.what;
    }
}

TEST(FileVersion, EveryTruncationAndByteFlipStaysInBounds) {
    for (const bool wide : {false, true}) {
        PeBuilder pe;
        pe.pe32Plus = wide;
        const std::vector<std::uint8_t> good = pe.Build();
        ASSERT_TRUE(FileVersion::FromImage(good));
        for (std::size_t size = 0; size < good.size(); ++size)
            EXPECT_FALSE(FileVersion::FromImage({good.data(), size})) << size;
        for (std::size_t at = 0; at < good.size(); ++at) {
            std::vector<std::uint8_t> bytes = good;
            bytes[at] ^= 0xFF;
            FileVersion::FromImage(bytes);
        }
    }
}

} // namespace
