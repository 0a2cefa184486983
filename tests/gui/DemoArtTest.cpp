// The art and sounds the demo's generator writes, as the build places them beside bin/autorun.
// What the configurations name, and how the window shows it, is in tests/app/DemoWindowTest.
#include <QImage>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace {

std::filesystem::path BuiltDataDir() {
    const char* bin = std::getenv("VELLMAR_TEST_BIN_DIR");
    return std::filesystem::path(bin ? bin : "bin") / "data";
}

// The bytes of a placed file, and the little-endian number of `size` bytes at `at` in them.
std::string Bytes(const char* file) {
    std::ifstream in(BuiltDataDir() / file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}
std::uint32_t Le(const std::string& bytes, std::size_t at, int size) {
    std::uint32_t v = 0;
    for (int i = size - 1; i >= 0; --i)
        v = v << 8 | std::uint8_t(bytes.at(at + i));
    return v;
}

// What the generator writes: 24-bit uncompressed BMPs, keyed ones with the transparency
// colour in the corners and art in the middle, and 16-bit PCM sounds that are not silent.
TEST(DemoArt, BitmapsAreUncompressed24BitWithTheirKeyColour) {
    struct Case {
        const char* file;
        int width, height;
        bool keyed;
    };
    const Case cases[] = {
        {"art/bg_main.bmp", 640, 400, false},        {"art/bg_extras.bmp", 640, 400, false},
        {"art/bg_options.bmp", 640, 400, false},     {"art/logo.bmp", 400, 100, true},
        {"art/logo_over.bmp", 400, 100, true},       {"art/button_normal.bmp", 190, 42, true},
        {"art/button_disabled.bmp", 190, 42, true},  {"art/sound_over.bmp", 26, 26, true},
        {"art/muted_pushed.bmp", 26, 26, true},      {"art/close_normal.bmp", 26, 26, true},
        {"news_backup/news_1.bmp", 300, 232, false}, {"news_backup/next_over.bmp", 28, 28, true},
    };
    const QRgb key = qRgb(255, 0, 255);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const std::string header = Bytes(c.file);
        ASSERT_GE(header.size(), 54u);
        EXPECT_EQ(header.substr(0, 2), "BM");
        EXPECT_EQ(Le(header, 28, 2), 24u); // bits per pixel
        EXPECT_EQ(Le(header, 30, 4), 0u);  // BI_RGB
        const QImage image =
            QImage((BuiltDataDir() / c.file).c_str()).convertToFormat(QImage::Format_RGB32);
        ASSERT_EQ(image.size(), QSize(c.width, c.height));
        // RGB32 rows have no padding: the pixels are one array.
        const auto* pixels = reinterpret_cast<const QRgb*>(image.constBits());
        const auto keyPixels = std::count(pixels, pixels + c.width * c.height, key);
        if (c.keyed) {
            EXPECT_EQ(image.pixel(0, 0) | 0xFF000000, key);
            EXPECT_LT(keyPixels, image.width() * image.height() * 4 / 5); // mostly art
        } else {
            EXPECT_EQ(keyPixels, 0);
        }
    }
}

TEST(DemoArt, SoundsArePcm16AndAudible) {
    struct Case {
        const char* file;
        double minSeconds, maxSeconds;
    };
    for (const Case& c : {Case{"music/theme.wav", 8, 40}, Case{"sounds/click.wav", 0.01, 0.5}}) {
        SCOPED_TRACE(c.file);
        const std::string bytes = Bytes(c.file);
        ASSERT_GT(bytes.size(), 44u);
        EXPECT_EQ(bytes.substr(0, 4), "RIFF");
        EXPECT_EQ(bytes.substr(8, 8), "WAVEfmt ");
        EXPECT_EQ(Le(bytes, 20, 2), 1u);  // PCM
        EXPECT_EQ(Le(bytes, 34, 2), 16u); // bits per sample
        ASSERT_EQ(Le(bytes, 40, 4) + 44, bytes.size());
        const double seconds = double(Le(bytes, 40, 4)) / (Le(bytes, 24, 4) * Le(bytes, 22, 2) * 2);
        EXPECT_GE(seconds, c.minSeconds);
        EXPECT_LE(seconds, c.maxSeconds);
        int peak = 0;
        for (std::size_t i = 44; i + 1 < bytes.size(); i += 2)
            peak = std::max(peak, std::abs(int(std::int16_t(Le(bytes, i, 2)))));
        EXPECT_GT(peak, 8000);
        EXPECT_LT(peak, 32767); // never clipped
    }
}

} // namespace
