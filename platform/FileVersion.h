#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace Vellmar::Platform {

// The file version of a Windows executable's version resource. Any other file has none.
class FileVersion {
public:
    FileVersion(std::uint32_t mostSignificant, std::uint32_t leastSignificant)
        : ms(mostSignificant), ls(leastSignificant) {}

    // The version of the file at `path` (the exact name, else read as a Windows-style name).
    static std::optional<FileVersion> Read(const std::wstring& path);
    static std::optional<FileVersion> FromImage(std::span<const std::uint8_t> image);

    std::uint32_t MostSignificant() const { return ms; }
    std::uint32_t LeastSignificant() const { return ls; }
    std::uint16_t Major() const { return static_cast<std::uint16_t>(ms >> 16); }
    std::uint16_t Minor() const { return static_cast<std::uint16_t>(ms & 0xFFFF); }
    std::uint16_t Build() const { return static_cast<std::uint16_t>(ls >> 16); }
    std::uint16_t Revision() const { return static_cast<std::uint16_t>(ls & 0xFFFF); }

    // "1.5.3.7": all four numbers.
    std::wstring FullText() const;
    // "1.05": major, and minor with at least two digits.
    std::wstring MajorMinorText() const;

    friend bool operator==(const FileVersion&, const FileVersion&) = default;

private:
    std::uint32_t ms;
    std::uint32_t ls;
};

} // namespace Vellmar::Platform
