#pragma once

#include <QImage>

#include <filesystem>

namespace DemoArt {

// Uncompressed 24-bit bottom-up BMP, the format every launcher skin loader reads. Alpha is
// dropped: transparency in these files is the key colour, not a channel.
void WriteBmp24(const QImage& image, const std::filesystem::path& path);

} // namespace DemoArt
