#pragma once

#include <chrono>
#include <string>

namespace Vellmar::Testing {

// A mono 16-bit PCM WAV file of a quiet tone.
void WriteWav(const std::string& path, std::chrono::milliseconds length);

} // namespace Vellmar::Testing
