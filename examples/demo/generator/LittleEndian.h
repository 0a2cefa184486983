#pragma once

#include <cstdint>
#include <ostream>

namespace DemoArt {

// BMP and WAV headers are little-endian whatever the machine is.
inline void PutU16(std::ostream& out, std::uint16_t value) {
    const char bytes[2] = {char(value & 0xFF), char(value >> 8)};
    out.write(bytes, 2);
}

inline void PutU32(std::ostream& out, std::uint32_t value) {
    const char bytes[4] = {char(value & 0xFF), char((value >> 8) & 0xFF),
                           char((value >> 16) & 0xFF), char(value >> 24)};
    out.write(bytes, 4);
}

} // namespace DemoArt
