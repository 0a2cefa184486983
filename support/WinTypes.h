#pragma once

#include <cstdint>
#include <map>
#include <string>

// The Windows value types that configurations and skinned controls speak in. They stand in the
// global namespace, where code written against the Windows headers expects them.

// Red in bits 0-7, green in 8-15, blue in 16-23; bits 24-31 zero.
using COLORREF = std::uint32_t;

struct RECT {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;

    friend bool operator==(const RECT&, const RECT&) = default;
};

constexpr COLORREF RGB(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
    return COLORREF{red} | (COLORREF{green} << 8) | (COLORREF{blue} << 16);
}
constexpr std::uint8_t GetRValue(COLORREF colour) {
    return colour & 0xFFu;
}
constexpr std::uint8_t GetGValue(COLORREF colour) {
    return (colour >> 8) & 0xFFu;
}
constexpr std::uint8_t GetBValue(COLORREF colour) {
    return (colour >> 16) & 0xFFu;
}

namespace LTF {

// Names of flags and enumeration values; iterated in ascending order of the names.
using NameTable = std::map<std::wstring, std::uint32_t>;

} // namespace LTF
