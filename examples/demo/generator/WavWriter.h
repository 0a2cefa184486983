#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

namespace DemoArt {

// Interleaved samples in [-1, 1], written as 16-bit PCM; values outside are clipped.
void WriteWav16(const std::vector<float>& samples, int channels, int sampleRate,
                const std::filesystem::path& path);

} // namespace DemoArt
