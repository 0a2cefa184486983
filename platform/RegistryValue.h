#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace Vellmar::Platform {

enum RegistryType : std::uint32_t {
    REG_NONE = 0,
    REG_SZ = 1,
    REG_EXPAND_SZ = 2,
    REG_BINARY = 3,
    REG_DWORD = 4,
    REG_MULTI_SZ = 7,
    REG_QWORD = 11,
};

// One registry value as Windows stores it: a type and raw data bytes (strings as UTF-16LE with
// their terminator, DWORDs little-endian), so that sizes and type checks behave as there.
struct RegistryValue {
    std::uint32_t type = REG_NONE;
    std::vector<std::uint8_t> data;

    static RegistryValue String(std::wstring_view text, std::uint32_t type = REG_SZ);
    static RegistryValue Dword(std::uint32_t number);

    // The data read as UTF-16LE up to the first NUL, whatever the type.
    std::wstring Text() const;
    std::optional<std::uint32_t> DwordValue() const;

    // The right-hand side of a `"name"=...` line; `data` may hold ",\\\n  " continuations.
    std::string Format() const;
    // Parses a right-hand side (continuations already joined). Nothing when malformed.
    static std::optional<RegistryValue> Parse(std::string_view text);

    bool operator==(const RegistryValue&) const = default;
};

// `"text"` with `\\` and `\"` escapes, as names and strings are written in .reg files.
std::string QuoteRegString(std::wstring_view text);
// Reads a quoted string at the start of `text`; returns the characters consumed (0 when
// malformed) and stores the unescaped text.
std::size_t UnquoteRegString(std::string_view text, std::wstring& out);

} // namespace Vellmar::Platform
