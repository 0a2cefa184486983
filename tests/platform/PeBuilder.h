#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace PlatformTest {

// Stores `v` little-endian in `width` bytes at `at`.
inline void PutLe(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint32_t v,
                  int width = 4) {
    for (int i = 0; i < width; ++i)
        bytes[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

// Writes the smallest Windows executable that carries a version resource: headers, one
// ".rsrc" section with the type/name/language directories, a data entry and VS_VERSIONINFO.
struct PeBuilder {
    bool pe32Plus = false;
    std::uint16_t resourceType = 16;
    std::uint32_t signature = 0xFEEF04BDu;
    std::uint32_t versionMs = 0x00010005;
    std::uint32_t versionLs = 0x00030007;

    static constexpr std::uint32_t kPeOffset = 0x40;
    static constexpr std::uint32_t kSectionRva = 0x1000;
    static constexpr std::uint32_t kSectionFileOffset = 0x200;

    std::vector<std::uint8_t> Build() const {
        std::vector<std::uint8_t> bytes(kSectionFileOffset, 0);
        bytes[0] = 'M';
        bytes[1] = 'Z';
        PutLe(bytes, 0x3C, kPeOffset);
        PutLe(bytes, kPeOffset, 0x00004550u);
        const std::uint16_t optionalSize = pe32Plus ? 240 : 224;
        PutLe(bytes, kPeOffset + 4, pe32Plus ? 0x8664 : 0x14C, 2);
        PutLe(bytes, kPeOffset + 6, 1, 2);
        PutLe(bytes, kPeOffset + 20, optionalSize, 2);
        const std::uint32_t optional = kPeOffset + 24;
        PutLe(bytes, optional, pe32Plus ? 0x20B : 0x10B, 2);
        const std::uint32_t count = optional + (pe32Plus ? 108 : 92);
        PutLe(bytes, count, 16);
        const std::vector<std::uint8_t> section = ResourceSection();
        PutLe(bytes, count + 4 + 2 * 8, kSectionRva);
        PutLe(bytes, count + 4 + 2 * 8 + 4, static_cast<std::uint32_t>(section.size()));
        const std::uint32_t header = optional + optionalSize;
        for (int i = 0; i < 6; ++i)
            bytes[header + i] = ".rsrc"[i];
        PutLe(bytes, header + 8, static_cast<std::uint32_t>(section.size()));
        PutLe(bytes, header + 12, kSectionRva);
        PutLe(bytes, header + 16, static_cast<std::uint32_t>(section.size()));
        PutLe(bytes, header + 20, kSectionFileOffset);
        bytes.insert(bytes.end(), section.begin(), section.end());
        return bytes;
    }

private:
    std::vector<std::uint8_t> ResourceSection() const {
        std::vector<std::uint8_t> s(0x50, 0);
        // Three directories of one id entry each (16 + 8 bytes), then the data entry at 0x48.
        const std::uint32_t ids[] = {resourceType, 1, 0x409};
        for (std::uint32_t level = 0; level < 3; ++level) {
            const std::size_t dir = level * 0x18;
            s[dir + 14] = 1;
            PutLe(s, dir + 16, ids[level]);
            PutLe(s, dir + 20, level < 2 ? (0x80000000u | (dir + 0x18)) : 0x48);
        }
        const std::vector<std::uint8_t> block = VersionBlock();
        s.resize(0x58);
        PutLe(s, 0x48, kSectionRva + 0x58);
        PutLe(s, 0x4C, static_cast<std::uint32_t>(block.size()));
        s.insert(s.end(), block.begin(), block.end());
        return s;
    }

    std::vector<std::uint8_t> VersionBlock() const {
        std::vector<std::uint8_t> b(40 + 52, 0);
        b[0] = static_cast<std::uint8_t>(b.size());
        b[2] = 52;
        const std::string key = "VS_VERSION_INFO";
        for (std::size_t i = 0; i < key.size(); ++i)
            b[6 + 2 * i] = static_cast<std::uint8_t>(key[i]);
        const std::uint32_t fixed[] = {signature, 0x10000, versionMs, versionLs};
        for (std::size_t f = 0; f < 4; ++f)
            PutLe(b, 40 + 4 * f, fixed[f]);
        return b;
    }
};

} // namespace PlatformTest
