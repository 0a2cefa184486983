#include "platform/unrar/ArchiveProbe.h"

#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cstring>

namespace Vellmar::Unrar {

namespace {

constexpr unsigned char kRar4Signature[] = {'R', 'a', 'r', '!', 0x1a, 0x07, 0x00};
constexpr unsigned char kRar5Signature[] = {'R', 'a', 'r', '!', 0x1a, 0x07, 0x01, 0x00};

// Positional reads that answer false instead of returning short data.
class VolumeBytes {
public:
    explicit VolumeBytes(int fd) : fd(fd) {
        struct stat st {};
        size = ::fstat(fd, &st) == 0 ? st.st_size : 0;
    }
    bool read(std::uint64_t pos, void* out, std::size_t count) const {
        if (pos > static_cast<std::uint64_t>(size) || count > size - pos)
            return false;
        return ::pread(fd, out, count, static_cast<off_t>(pos)) == static_cast<ssize_t>(count);
    }
    // Reads up to `count` bytes; returns how many were available.
    std::size_t readSome(std::uint64_t pos, void* out, std::size_t count) const {
        if (pos >= static_cast<std::uint64_t>(size))
            return 0;
        const auto available = static_cast<std::uint64_t>(size) - pos;
        const std::size_t wanted = count < available ? count : static_cast<std::size_t>(available);
        const ssize_t got = ::pread(fd, out, wanted, static_cast<off_t>(pos));
        return got > 0 ? static_cast<std::size_t>(got) : 0;
    }
    std::uint64_t length() const { return static_cast<std::uint64_t>(size); }

private:
    int fd;
    off_t size = 0;
};

unsigned Le16(const unsigned char* p) {
    return p[0] | (p[1] << 8);
}
std::uint32_t Le32(const unsigned char* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

void ProbeRar4(const VolumeBytes& bytes, VolumeInfo& info) {
    enum : unsigned { MainHead = 0x73, FileHead = 0x74, NewSubHead = 0x7a, EndArcHead = 0x7b };
    std::uint64_t pos = sizeof kRar4Signature;
    unsigned char base[7];
    if (!bytes.read(pos, base, sizeof base) || base[2] != MainHead || Le16(base + 5) < 7) {
        info.broken = true;
        return;
    }
    const unsigned mainFlags = Le16(base + 3);
    info.volume = mainFlags & 0x0001;
    info.locked = mainFlags & 0x0004;
    info.solid = mainFlags & 0x0008;
    info.newNumbering = mainFlags & 0x0010;
    info.encryptedHeaders = mainFlags & 0x0080;
    info.firstVolume = mainFlags & 0x0100;
    if (info.encryptedHeaders)
        return;
    pos += Le16(base + 5);
    bool lastSplitAfter = false;
    while (bytes.read(pos, base, sizeof base)) {
        const unsigned type = base[2];
        const unsigned flags = Le16(base + 3);
        const unsigned headSize = Le16(base + 5);
        if (headSize < 7)
            break;
        std::uint64_t dataSize = 0;
        const bool fileLike = type == FileHead || type == NewSubHead;
        if ((flags & 0x8000) || fileLike) {
            unsigned char add[4];
            if (!bytes.read(pos + 7, add, 4))
                break;
            dataSize = Le32(add);
            if (fileLike && (flags & 0x0100) && bytes.read(pos + 32, add, 4))
                dataSize |= static_cast<std::uint64_t>(Le32(add)) << 32;
        }
        if (type == FileHead) {
            lastSplitAfter = flags & 0x0002;
            unsigned char crc[4];
            if (headSize >= 32 && bytes.read(pos + 16, crc, 4))
                info.fileCrcs.push_back({(flags & 0x0001) != 0, Le32(crc)});
        }
        if (type == EndArcHead) {
            info.hasNextVolume = info.volume && (flags & 0x0001);
            return;
        }
        pos += headSize + dataSize;
    }
    info.hasNextVolume = info.volume && lastSplitAfter;
}

// RAR5 variable-length integer; false when it runs past `end`.
bool ReadVint(const unsigned char*& p, const unsigned char* end, std::uint64_t& value) {
    value = 0;
    for (int shift = 0; p < end && shift < 64; shift += 7) {
        const unsigned char byte = *p++;
        value |= static_cast<std::uint64_t>(byte & 0x7f) << shift;
        if (!(byte & 0x80))
            return true;
    }
    return false;
}

void ProbeRar5(const VolumeBytes& bytes, VolumeInfo& info) {
    enum : std::uint64_t { MainHead = 1, CryptHead = 4, EndHead = 5 };
    std::uint64_t pos = sizeof kRar5Signature;
    bool first = true;
    std::array<unsigned char, 64> head{};
    while (true) {
        const std::size_t got = bytes.readSome(pos, head.data(), head.size());
        const unsigned char* p = head.data() + 4;
        const unsigned char* end = head.data() + got;
        std::uint64_t headSize = 0, type = 0, flags = 0, extra = 0, data = 0;
        if (got < 7 || !ReadVint(p, end, headSize)) {
            info.broken = first;
            return;
        }
        const std::uint64_t bodyStart = pos + (p - head.data());
        if (!ReadVint(p, end, type) || !ReadVint(p, end, flags) ||
            ((flags & 1) && !ReadVint(p, end, extra)) || ((flags & 2) && !ReadVint(p, end, data))) {
            info.broken = first;
            return;
        }
        if (first && type != MainHead && type != CryptHead) {
            info.broken = true;
            return;
        }
        first = false;
        std::uint64_t specific = 0;
        if (type == CryptHead) {
            info.encryptedHeaders = true;
            return;
        }
        if (type == MainHead && ReadVint(p, end, specific)) {
            info.volume = specific & 0x01;
            info.solid = specific & 0x04;
            info.locked = specific & 0x10;
            info.newNumbering = true;
            // Without a volume number field this is the first volume.
            info.firstVolume = info.volume && !(specific & 0x02);
        }
        if (type == EndHead) {
            info.hasNextVolume = info.volume && ReadVint(p, end, specific) && (specific & 0x01);
            return;
        }
        const std::uint64_t next = bodyStart + headSize + data;
        if (next <= pos || next >= bytes.length())
            return;
        pos = next;
    }
}

} // namespace

VolumeInfo ProbeVolume(int fd) {
    VolumeInfo info;
    const VolumeBytes bytes(fd);
    unsigned char signature[sizeof kRar5Signature] = {};
    const std::size_t got = bytes.readSome(0, signature, sizeof signature);
    if (got >= sizeof kRar5Signature &&
        std::memcmp(signature, kRar5Signature, sizeof kRar5Signature) == 0) {
        info.format = ArchiveFormat::Rar5;
        ProbeRar5(bytes, info);
    } else if (got >= sizeof kRar4Signature &&
               std::memcmp(signature, kRar4Signature, sizeof kRar4Signature) == 0) {
        info.format = ArchiveFormat::Rar4;
        ProbeRar4(bytes, info);
    }
    return info;
}

} // namespace Vellmar::Unrar
