#pragma once

#include <chrono>
#include <filesystem>

namespace Vellmar::Testing {

// A mono 16-bit PCM WAV of a quiet tone, `length` long.
void WriteWav(const std::filesystem::path& path, std::chrono::milliseconds length);

} // namespace Vellmar::Testing
