#pragma once

#include "tests/support/TempDir.h"

#include <chrono>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <string>

namespace Vellmar::Testing {

// A mono 16-bit PCM WAV of a quiet tone, `length` long.
inline void WriteWav(const std::filesystem::path& path, std::chrono::milliseconds length) {
    const std::uint32_t rate = 8000;
    const auto samples = static_cast<std::uint32_t>(rate * length.count() / 1000);
    const auto le = [](std::uint32_t value, int bytes) {
        std::string out;
        for (int i = 0; i < bytes; ++i)
            out += static_cast<char>(value >> (8 * i));
        return out;
    };
    std::string data;
    for (std::uint32_t i = 0; i < samples; ++i)
        data += le(static_cast<std::int16_t>(1000 * std::sin(i * 0.3)), 2);
    const auto size = static_cast<std::uint32_t>(data.size());
    WriteFile(path, "RIFF" + le(36 + size, 4) + "WAVEfmt " + le(16, 4) + le(1, 2) + le(1, 2) +
                        le(rate, 4) + le(rate * 2, 4) + le(2, 2) + le(16, 2) + "data" +
                        le(size, 4) + data);
}

} // namespace Vellmar::Testing
