#include "WavWriter.h"

#include "LittleEndian.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <stdexcept>

namespace DemoArt {

void WriteWav16(const std::vector<float>& samples, int channels, int sampleRate,
                const std::filesystem::path& path) {
    const std::uint32_t dataSize = std::uint32_t(samples.size() * 2);
    const std::uint16_t blockAlign = std::uint16_t(channels * 2);

    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out)
        throw std::runtime_error("cannot create " + path.string());
    out.write("RIFF", 4);
    PutU32(out, 36 + dataSize);
    out.write("WAVE", 4);
    out.write("fmt ", 4);
    PutU32(out, 16);
    PutU16(out, 1); // PCM
    PutU16(out, std::uint16_t(channels));
    PutU32(out, std::uint32_t(sampleRate));
    PutU32(out, std::uint32_t(sampleRate) * blockAlign);
    PutU16(out, blockAlign);
    PutU16(out, 16);
    out.write("data", 4);
    PutU32(out, dataSize);
    for (float sample : samples) {
        const float clipped = std::clamp(sample, -1.0f, 1.0f);
        PutU16(out, std::uint16_t(std::int16_t(std::lround(clipped * 32767.0f))));
    }
    if (!out.flush())
        throw std::runtime_error("cannot write " + path.string());
}

} // namespace DemoArt
