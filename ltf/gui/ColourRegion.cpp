#include "ltf/gui/ColourRegion.h"

#include <QRect>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

namespace LTF::GUI {

namespace {

struct Run {
    int left;
    int right; // one past the last member pixel
    bool operator==(const Run&) const = default;
};

// Runs of one row; rows are scanned bottom row first, as a bottom-up bitmap lies in memory.
void ScanRow(const std::uint32_t* pixels, int width, std::uint32_t a, std::uint32_t b,
             std::vector<Run>& runs) {
    int x = 0;
    while (x < width) {
        while (x < width && ((pixels[x] & 0xFFFFFF) == a || (pixels[x] & 0xFFFFFF) == b))
            ++x;
        if (x == width)
            break;
        const int start = x;
        while (x < width && (pixels[x] & 0xFFFFFF) != a && (pixels[x] & 0xFFFFFF) != b)
            ++x;
        runs.push_back({start, x});
    }
}

} // namespace

QRegion ColourToRegion(const QImage& source, Colour a, Colour b) {
    const QImage image = source.format() == QImage::Format_RGB32 ||
                                 source.format() == QImage::Format_ARGB32 ||
                                 source.format() == QImage::Format_ARGB32_Premultiplied
                             ? source
                             : source.convertToFormat(QImage::Format_RGB32);
    const int width = image.width();
    const int height = image.height();
    const std::uint32_t rgbA = RgbOf(a);
    const std::uint32_t rgbB = RgbOf(b);

    std::vector<Run> runs;
    runs.reserve(40);
    std::vector<std::size_t> rowStart(static_cast<std::size_t>(height) + 1, 0);
    for (int y = height - 1; y >= 0; --y) {
        rowStart[static_cast<std::size_t>(y)] = runs.size();
        const auto* pixels = reinterpret_cast<const std::uint32_t*>(image.constScanLine(y));
        ScanRow(pixels, width, rgbA, rgbB, runs);
    }

    // QRegion::setRects wants y-x banded rectangles with equal rows merged, top row first.
    auto rowRuns = [&](int y) {
        const std::size_t begin = rowStart[static_cast<std::size_t>(y)];
        const std::size_t end = y == 0 ? runs.size() : rowStart[static_cast<std::size_t>(y) - 1];
        return std::pair(begin, end);
    };
    std::vector<QRect> rects;
    rects.reserve(runs.size());
    for (int y = 0; y < height;) {
        const auto [begin, end] = rowRuns(y);
        int bandEnd = y + 1;
        while (bandEnd < height) {
            const auto [nextBegin, nextEnd] = rowRuns(bandEnd);
            if (nextEnd - nextBegin != end - begin ||
                !std::equal(runs.begin() + static_cast<std::ptrdiff_t>(begin),
                            runs.begin() + static_cast<std::ptrdiff_t>(end),
                            runs.begin() + static_cast<std::ptrdiff_t>(nextBegin)))
                break;
            ++bandEnd;
        }
        for (std::size_t i = begin; i < end; ++i)
            rects.emplace_back(runs[i].left, y, runs[i].right - runs[i].left, bandEnd - y);
        y = bandEnd;
    }
    QRegion region;
    if (!rects.empty())
        region.setRects(rects.data(), static_cast<int>(rects.size()));
    return region;
}

} // namespace LTF::GUI
