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

// RAR4 file header fields after the 7-byte block head, at their fixed offsets.
FileRecord Rar4File(const unsigned char* head, unsigned flags, std::uint64_t dataSize) {
    FileRecord file;
    file.continued = flags & 0x0001;
    file.splitAfter = flags & 0x0002;
    file.packSize = dataSize;
    file.hostOs = head[15];
    file.hasCrc = true;
    file.crc = Le32(head + 16);
    file.version = head[24];
    file.method = head[25];
    file.attributes = Le32(head + 28);
    const unsigned dictionary = (flags >> 5) & 7; // 7 marks a folder
    file.dictionaryKb = dictionary == 7 ? 0 : 64u << dictionary;
    return file;
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
    unsigned char head[36];
    while (bytes.read(pos, head, 7)) {
        const unsigned type = head[2];
        const unsigned flags = Le16(head + 3);
        const unsigned headSize = Le16(head + 5);
        if (headSize < 7)
            break;
        std::uint64_t dataSize = 0;
        const bool fileLike = type == FileHead || type == NewSubHead;
        if ((flags & 0x8000) || fileLike) {
            if (!bytes.read(pos + 7, head + 7, 4))
                break;
            dataSize = Le32(head + 7);
            if (fileLike && (flags & 0x0100) && bytes.read(pos + 32, head + 32, 4))
                dataSize |= static_cast<std::uint64_t>(Le32(head + 32)) << 32;
        }
        if (type == FileHead) {
            lastSplitAfter = flags & 0x0002;
            // Every file header has its record, so that records and entries pair up by index.
            FileRecord file;
            file.continued = flags & 0x0001;
            if (headSize >= 32 && bytes.read(pos, head, 32))
                file = Rar4File(head, flags, dataSize);
            info.files.push_back(file);
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

bool Skip(const unsigned char*& p, const unsigned char* end, std::uint64_t count) {
    if (count > static_cast<std::uint64_t>(end - p))
        return false;
    p += count;
    return true;
}

// The hash record of a file header's extra area: type 2, hash type 0 (BLAKE2sp), 32 bytes.
void ReadRar5Extra(const unsigned char* p, const unsigned char* end, FileRecord& file) {
    enum : std::uint64_t { HashRecord = 2, Blake2sp = 0 };
    std::uint64_t size = 0, type = 0, hashType = 0;
    while (p < end && ReadVint(p, end, size) && size <= static_cast<std::uint64_t>(end - p)) {
        const unsigned char* recordEnd = p + size;
        const unsigned char* q = p;
        if (ReadVint(q, recordEnd, type) && type == HashRecord &&
            ReadVint(q, recordEnd, hashType) && hashType == Blake2sp && recordEnd - q >= 32) {
            std::memcpy(file.blake2.data(), q, 32);
            file.hasBlake2 = true;
        }
        p = recordEnd;
    }
}

// The file header body after the common fields: as much as is there.
void ReadRar5File(const unsigned char* p, const unsigned char* end, std::uint64_t extraSize,
                  FileRecord& file) {
    if (extraSize > static_cast<std::uint64_t>(end - p))
        return;
    const unsigned char* extra = end - extraSize;
    std::uint64_t fileFlags = 0, unpacked = 0, attributes = 0, compression = 0, host = 0, name = 0;
    if (!ReadVint(p, extra, fileFlags) || !ReadVint(p, extra, unpacked) ||
        !ReadVint(p, extra, attributes) || ((fileFlags & 0x02) && !Skip(p, extra, 4)))
        return;
    if (fileFlags & 0x04) {
        if (extra - p < 4)
            return;
        file.hasCrc = true;
        file.crc = Le32(p);
        p += 4;
    }
    if (!ReadVint(p, extra, compression) || !ReadVint(p, extra, host) ||
        !ReadVint(p, extra, name) || !Skip(p, extra, name))
        return;
    file.attributes = static_cast<unsigned>(attributes);
    file.hostOs = host == 0 ? 2 : 3;
    file.method = 0x30 + static_cast<unsigned>((compression >> 7) & 7);
    file.version = (compression & 0x3f) == 0 ? 50 : 70;
    file.dictionaryKb = 128u << ((compression >> 10) & 0xf);
    ReadRar5Extra(extra, end, file);
}

void ProbeRar5(const VolumeBytes& bytes, VolumeInfo& info) {
    enum : std::uint64_t { MainHead = 1, FileHead = 2, CryptHead = 4, EndHead = 5 };
    enum : std::uint64_t { HasExtra = 1, HasData = 2, ContinuedBefore = 8, ContinuedAfter = 16 };
    // Larger headers are not valid RAR5.
    constexpr std::uint64_t kMaxHeaderSize = 2 << 20;
    std::uint64_t pos = sizeof kRar5Signature;
    bool first = true;
    std::vector<unsigned char> head;
    while (true) {
        unsigned char prefix[16];
        const std::size_t got = bytes.readSome(pos, prefix, sizeof prefix);
        const unsigned char* p = prefix + 4;
        std::uint64_t headSize = 0, type = 0, flags = 0, extra = 0, data = 0;
        if (got < 7 || !ReadVint(p, prefix + got, headSize) || headSize > kMaxHeaderSize) {
            info.broken = first;
            return;
        }
        const std::uint64_t bodyStart = pos + (p - prefix);
        head.resize(headSize);
        if (!bytes.read(bodyStart, head.data(), head.size())) {
            info.broken = first;
            return;
        }
        p = head.data();
        const unsigned char* end = head.data() + head.size();
        if (!ReadVint(p, end, type) || !ReadVint(p, end, flags) ||
            ((flags & HasExtra) && !ReadVint(p, end, extra)) ||
            ((flags & HasData) && !ReadVint(p, end, data))) {
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
        if (type == FileHead) {
            FileRecord file;
            file.continued = flags & ContinuedBefore;
            file.splitAfter = flags & ContinuedAfter;
            file.packSize = data;
            // Kept even when cut short, so that records and entries pair up by index.
            ReadRar5File(p, end, extra, file);
            info.files.push_back(file);
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
