#include "platform/PeImage.h"

#include <algorithm>
#include <array>

namespace Vellmar::Platform {
namespace {

constexpr std::uint32_t kSubdirectory = 0x80000000u;
constexpr std::uint32_t kResourceDirectoryIndex = 2;
constexpr std::size_t kSectionHeaderSize = 40;

std::uint16_t U16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}

std::uint32_t U32(const std::uint8_t* p) {
    return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 |
           std::uint32_t{p[3]} << 24;
}

template <std::size_t N>
bool Read(const ByteSource& source, std::uint64_t offset, std::array<std::uint8_t, N>& out) {
    return source.ReadAt(offset, out.data(), N);
}

// The resource table's address from the optional header, or 0 when there is none.
std::uint32_t ResourceRva(const ByteSource& source, std::uint64_t optionalHeader,
                          std::uint16_t optionalSize) {
    std::array<std::uint8_t, 2> magic{};
    if (!Read(source, optionalHeader, magic))
        return 0;
    const bool pe32Plus = U16(magic.data()) == 0x20B;
    if (!pe32Plus && U16(magic.data()) != 0x10B)
        return 0;
    const std::uint64_t countOffset = pe32Plus ? 108 : 92;
    const std::uint64_t entry = countOffset + 4 + 8 * kResourceDirectoryIndex;
    std::array<std::uint8_t, 4> count{};
    std::array<std::uint8_t, 8> directory{};
    if (entry + 8 > optionalSize || !Read(source, optionalHeader + countOffset, count) ||
        U32(count.data()) <= kResourceDirectoryIndex ||
        !Read(source, optionalHeader + entry, directory))
        return 0;
    return U32(directory.data());
}

} // namespace

std::optional<PeImage> PeImage::Open(const ByteSource& source) {
    std::array<std::uint8_t, 64> dos{};
    if (!Read(source, 0, dos) || dos[0] != 'M' || dos[1] != 'Z')
        return std::nullopt;
    const std::uint64_t peHeader = U32(dos.data() + 0x3C);
    std::array<std::uint8_t, 24> coff{};
    if (!Read(source, peHeader, coff) || U32(coff.data()) != 0x00004550u) // "PE\0\0"
        return std::nullopt;
    const std::uint16_t sectionCount = U16(coff.data() + 6);
    const std::uint16_t optionalSize = U16(coff.data() + 20);
    const std::uint64_t optionalHeader = peHeader + coff.size();
    const std::uint32_t resourceRva = ResourceRva(source, optionalHeader, optionalSize);
    if (resourceRva == 0)
        return std::nullopt;

    const std::uint64_t tableOffset = optionalHeader + optionalSize;
    if (tableOffset + std::uint64_t{sectionCount} * kSectionHeaderSize > source.Size())
        return std::nullopt;
    std::vector<std::uint8_t> table(std::size_t{sectionCount} * kSectionHeaderSize);
    if (!source.ReadAt(tableOffset, table.data(), table.size()))
        return std::nullopt;
    std::vector<Section> sections;
    for (std::size_t i = 0; i < sectionCount; ++i) {
        const std::uint8_t* header = table.data() + i * kSectionHeaderSize;
        sections.push_back({U32(header + 12), U32(header + 16), U32(header + 20)});
    }
    return PeImage(source, std::move(sections), resourceRva);
}

bool PeImage::ReadRva(std::uint64_t rva, void* out, std::size_t size) const {
    for (const Section& section : sections) {
        // Only the part of a section that the file holds can be read; the rest is zero fill.
        if (rva < section.virtualAddress || rva - section.virtualAddress >= section.rawSize)
            continue;
        const std::uint64_t inSection = rva - section.virtualAddress;
        if (inSection + size > section.rawSize)
            return false;
        return source->ReadAt(section.rawPointer + inSection, out, size);
    }
    return false;
}

std::optional<std::uint32_t> PeImage::FindEntry(std::uint64_t directoryRva,
                                                std::optional<std::uint16_t> id) const {
    std::array<std::uint8_t, 16> header{};
    if (!ReadRva(directoryRva, header.data(), header.size()))
        return std::nullopt;
    const std::uint32_t entries = std::uint32_t{U16(header.data() + 12)} + U16(header.data() + 14);
    for (std::uint32_t i = 0; i < entries; ++i) {
        std::array<std::uint8_t, 8> entry{};
        if (!ReadRva(directoryRva + header.size() + std::uint64_t{8} * i, entry.data(), 8))
            return std::nullopt;
        const std::uint32_t name = U32(entry.data());
        if (!id || (!(name & kSubdirectory) && name == *id))
            return U32(entry.data() + 4);
    }
    return std::nullopt;
}

std::optional<std::vector<std::uint8_t>> PeImage::FindResource(std::uint16_t type,
                                                               std::size_t maxSize) const {
    // Type, then name, then language: three fixed levels, so a looping tree cannot loop here.
    std::optional<std::uint32_t> entry = std::uint32_t{kSubdirectory};
    for (const std::optional<std::uint16_t> id :
         {std::optional<std::uint16_t>(type), std::optional<std::uint16_t>(),
          std::optional<std::uint16_t>()}) {
        if (!(*entry & kSubdirectory))
            return std::nullopt;
        entry = FindEntry(std::uint64_t{resourceRva} + (*entry & ~kSubdirectory), id);
        if (!entry)
            return std::nullopt;
    }
    std::array<std::uint8_t, 16> data{};
    if ((*entry & kSubdirectory) ||
        !ReadRva(std::uint64_t{resourceRva} + *entry, data.data(), data.size()))
        return std::nullopt;
    std::vector<std::uint8_t> bytes(std::min<std::size_t>(U32(data.data() + 4), maxSize));
    if (!ReadRva(U32(data.data()), bytes.data(), bytes.size()))
        return std::nullopt;
    return bytes;
}

} // namespace Vellmar::Platform
