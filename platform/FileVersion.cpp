#include "platform/FileVersion.h"

#include "platform/PeImage.h"
#include "support/PathResolve.h"
#include "support/Text.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <string_view>
#include <vector>

namespace Vellmar::Platform {
namespace {

constexpr std::uint16_t kVersionResourceType = 16;
constexpr std::uint32_t kFixedInfoSignature = 0xFEEF04BDu;
constexpr std::size_t kFixedInfoSize = 52;
constexpr std::size_t kMaxVersionBlock = 0x10000; // the block's length is a 16-bit field
constexpr std::u16string_view kVersionKey = u"VS_VERSION_INFO";

class SpanSource : public ByteSource {
public:
    explicit SpanSource(std::span<const std::uint8_t> bytes) : bytes(bytes) {}
    std::uint64_t Size() const override { return bytes.size(); }
    bool ReadAt(std::uint64_t offset, void* out, std::size_t size) const override {
        if (offset > bytes.size() || size > bytes.size() - offset)
            return false;
        if (size > 0)
            std::memcpy(out, bytes.data() + offset, size);
        return true;
    }

private:
    std::span<const std::uint8_t> bytes;
};

class FileSource : public ByteSource {
public:
    // Non-blocking, so that a FIFO under the name cannot stall us before the type check.
    explicit FileSource(const std::string& path)
        : fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK)) {
        struct stat info {};
        if (fd >= 0 && ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode))
            size = static_cast<std::uint64_t>(info.st_size);
    }
    ~FileSource() override {
        if (fd >= 0)
            ::close(fd);
    }
    FileSource(const FileSource&) = delete;
    FileSource& operator=(const FileSource&) = delete;

    std::uint64_t Size() const override { return size; }
    bool ReadAt(std::uint64_t offset, void* out, std::size_t count) const override {
        if (offset > size || count > size - offset)
            return false;
        auto* bytes = static_cast<char*>(out);
        while (count > 0) {
            const ssize_t n = ::pread(fd, bytes, count, static_cast<off_t>(offset));
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                return false;
            bytes += n;
            offset += static_cast<std::uint64_t>(n);
            count -= static_cast<std::size_t>(n);
        }
        return true;
    }

private:
    int fd;
    std::uint64_t size = 0;
};

std::uint32_t U32(const std::uint8_t* p) {
    return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 |
           std::uint32_t{p[3]} << 24;
}

// The fixed part of a VS_VERSIONINFO block: length, value length, type, the key, then the
// VS_FIXEDFILEINFO on the next four-byte boundary.
std::optional<FileVersion> ParseVersionBlock(const std::vector<std::uint8_t>& block) {
    constexpr std::size_t keyOffset = 6;
    const std::size_t keyEnd = keyOffset + 2 * (kVersionKey.size() + 1);
    const std::size_t valueOffset = (keyEnd + 3) & ~std::size_t{3};
    if (block.size() < valueOffset + kFixedInfoSize)
        return std::nullopt;
    const std::size_t length = block[0] | block[1] << 8;
    const std::size_t valueLength = block[2] | block[3] << 8;
    if (length < valueOffset + kFixedInfoSize || valueLength < kFixedInfoSize)
        return std::nullopt;
    for (std::size_t i = 0; i <= kVersionKey.size(); ++i) {
        const char16_t c =
            static_cast<char16_t>(block[keyOffset + 2 * i] | block[keyOffset + 2 * i + 1] << 8);
        if (c != (i < kVersionKey.size() ? kVersionKey[i] : u'\0'))
            return std::nullopt;
    }
    const std::uint8_t* fixed = block.data() + valueOffset;
    if (U32(fixed) != kFixedInfoSignature)
        return std::nullopt;
    return FileVersion(U32(fixed + 8), U32(fixed + 12));
}

std::optional<FileVersion> FromSource(const ByteSource& source) {
    const auto image = PeImage::Open(source);
    if (!image)
        return std::nullopt;
    const auto block = image->FindResource(kVersionResourceType, kMaxVersionBlock);
    return block ? ParseVersionBlock(*block) : std::nullopt;
}

} // namespace

std::optional<FileVersion> FileVersion::Read(const std::wstring& path) {
    struct stat info {};
    const std::string exact = WideToUtf8(path);
    return FromSource(FileSource(::stat(exact.c_str(), &info) == 0 ? exact : NativePath(path)));
}

std::optional<FileVersion> FileVersion::FromImage(std::span<const std::uint8_t> image) {
    return FromSource(SpanSource(image));
}

std::wstring FileVersion::FullText() const {
    return std::to_wstring(Major()) + L'.' + std::to_wstring(Minor()) + L'.' +
           std::to_wstring(Build()) + L'.' + std::to_wstring(Revision());
}

std::wstring FileVersion::MajorMinorText() const {
    const std::wstring minor = std::to_wstring(Minor());
    return std::to_wstring(Major()) + L'.' + (minor.size() < 2 ? L"0" : L"") + minor;
}

} // namespace Vellmar::Platform
