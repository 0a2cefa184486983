#pragma once

#include <cstdint>
#include <optional>
#include <vector>

namespace Vellmar::Platform {

// Random access to the bytes of a file or a buffer; reads outside it fail.
class ByteSource {
public:
    virtual ~ByteSource() = default;
    virtual std::uint64_t Size() const = 0;
    virtual bool ReadAt(std::uint64_t offset, void* out, std::size_t size) const = 0;
};

// The resources of a Windows executable (32- or 64-bit PE). Every offset the file states is
// checked against the file before it is used, so a hostile file can only fail to parse.
class PeImage {
public:
    // Nothing unless the source holds a PE header with a resource section.
    static std::optional<PeImage> Open(const ByteSource& source);

    // The data of the first resource of `type` (first name, first language), or nothing. Data
    // longer than `maxSize` is cut there.
    std::optional<std::vector<std::uint8_t>> FindResource(std::uint16_t type,
                                                          std::size_t maxSize) const;

private:
    struct Section {
        std::uint32_t virtualAddress;
        std::uint32_t rawSize;
        std::uint32_t rawPointer;
    };

    PeImage(const ByteSource& source, std::vector<Section> sections, std::uint32_t resourceRva)
        : source(&source), sections(std::move(sections)), resourceRva(resourceRva) {}

    bool ReadRva(std::uint64_t rva, void* out, std::size_t size) const;
    // The entry's data field: a directory (bit 31) or a data entry, each relative to the root.
    std::optional<std::uint32_t> FindEntry(std::uint64_t directoryRva,
                                           std::optional<std::uint16_t> id) const;

    const ByteSource* source;
    std::vector<Section> sections;
    std::uint32_t resourceRva;
};

} // namespace Vellmar::Platform
