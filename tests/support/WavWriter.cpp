#include "tests/support/WavWriter.h"

#include "tests/support/TempDir.h"

#include <cmath>
#include <cstdint>
#include <string>

namespace Vellmar::Testing {

void WriteWav(const std::filesystem::path& path, std::chrono::milliseconds length) {
    const std::uint32_t rate = 8000;
    const auto samples = static_cast<std::uint32_t>(rate * length.count() / 1000);
    std::string data;
    for (std::uint32_t i = 0; i < samples; ++i) {
        const auto value = static_cast<std::int16_t>(1000 * std::sin(i * 0.3));
        data += static_cast<char>(value & 0xFF);
        data += static_cast<char>((value >> 8) & 0xFF);
    }
    const auto u32 = [](std::uint32_t v) {
        return std::string{static_cast<char>(v), static_cast<char>(v >> 8),
                           static_cast<char>(v >> 16), static_cast<char>(v >> 24)};
    };
    const auto u16 = [](std::uint16_t v) {
        return std::string{static_cast<char>(v), static_cast<char>(v >> 8)};
    };
    const auto size = static_cast<std::uint32_t>(data.size());
    WriteFile(path, "RIFF" + u32(36 + size) + "WAVEfmt " + u32(16) + u16(1) + u16(1) + u32(rate) +
                        u32(rate * 2) + u16(2) + u16(16) + "data" + u32(size) + data);
}

} // namespace Vellmar::Testing
