#include "BmpWriter.h"

#include "LittleEndian.h"

#include <fstream>
#include <stdexcept>
#include <vector>

namespace DemoArt {

namespace {

constexpr std::uint32_t kHeaderSize = 14 + 40;
constexpr std::int32_t kPixelsPerMetre = 2835; // 72 dpi

} // namespace

void WriteBmp24(const QImage& image, const std::filesystem::path& path) {
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    const std::uint32_t width = std::uint32_t(rgb.width());
    const std::uint32_t height = std::uint32_t(rgb.height());
    const std::uint32_t rowSize = (width * 3 + 3) & ~3u;
    const std::uint32_t dataSize = rowSize * height;

    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out)
        throw std::runtime_error("cannot create " + path.string());
    out.write("BM", 2);
    PutU32(out, kHeaderSize + dataSize);
    PutU32(out, 0); // two reserved words
    PutU32(out, kHeaderSize);
    PutU32(out, 40);
    PutU32(out, width);
    PutU32(out, height); // positive: rows run bottom-up
    PutU16(out, 1);
    PutU16(out, 24);
    PutU32(out, 0); // BI_RGB
    PutU32(out, dataSize);
    PutU32(out, std::uint32_t(kPixelsPerMetre));
    PutU32(out, std::uint32_t(kPixelsPerMetre));
    PutU32(out, 0);
    PutU32(out, 0);

    std::vector<char> row(rowSize, 0);
    for (int y = int(height) - 1; y >= 0; --y) {
        const uchar* line = rgb.constScanLine(y);
        for (std::uint32_t x = 0; x < width; ++x) {
            row[x * 3 + 0] = char(line[x * 3 + 2]);
            row[x * 3 + 1] = char(line[x * 3 + 1]);
            row[x * 3 + 2] = char(line[x * 3 + 0]);
        }
        out.write(row.data(), rowSize);
    }
    if (!out.flush())
        throw std::runtime_error("cannot write " + path.string());
}

} // namespace DemoArt
