#include "tests/support/Rar5Writer.h"

namespace Vellmar::Testing {

namespace {

constexpr char kSignature[] = {'R', 'a', 'r', '!', 0x1a, 0x07, 0x01, 0x00};
constexpr std::uint32_t kMtime = 1718452800; // 2024-06-15 12:00 UTC

void PutVint(std::string& out, std::uint64_t value) {
    do {
        const auto low = static_cast<unsigned char>(value & 0x7f);
        value >>= 7;
        out += static_cast<char>(value ? low | 0x80 : low);
    } while (value);
}

// CRC32 of the size and body, the size, then the type, flags, area sizes and `fields`.
std::string Header(unsigned type, const std::string& fields, const std::string& extra = {},
                   const std::string* data = nullptr, bool badCrc = false) {
    std::string body;
    PutVint(body, type);
    PutVint(body, (extra.empty() ? 0 : 0x01) | (data ? 0x02 : 0));
    if (!extra.empty())
        PutVint(body, extra.size());
    if (data)
        PutVint(body, data->size());
    body += fields + extra;
    std::string sized;
    PutVint(sized, body.size());
    sized += body;
    std::string out;
    PutLittleEndian(out, Rar4Writer::Crc32(sized) ^ (badCrc ? 0x5a5a5a5au : 0));
    return out + sized + (data ? *data : std::string());
}

std::string FileHeader(const RarEntry& entry) {
    const bool folder = entry.kind == RarEntry::Kind::Folder;
    const bool withCrc = !folder && entry.blake2.empty();
    std::string fields;
    PutVint(fields, (folder ? 0x01 : 0) | 0x02 | (withCrc ? 0x04 : 0));
    PutVint(fields, entry.data.size());
    PutVint(fields, HostAttributes(entry));
    PutLittleEndian(fields, kMtime);
    if (withCrc) {
        const std::uint32_t crc = Rar4Writer::Crc32(entry.data);
        PutLittleEndian(fields, entry.badDataCrc ? ~crc : crc);
    }
    PutVint(fields, 0); // stored, algorithm version 0
    PutVint(fields, entry.windows ? 0 : 1);
    PutVint(fields, entry.name.size());
    fields += entry.name;
    std::string extra;
    if (!entry.blake2.empty()) {
        // Record type 2 (file hash), hash type 0 (BLAKE2sp), the hash.
        const std::string record = std::string("\x02\x00", 2) + entry.blake2;
        PutVint(extra, record.size());
        extra += record;
    }
    // libarchive wants a data area even on folders, where it is empty.
    return Header(2, fields, extra, &entry.data, entry.badHeaderCrc);
}

} // namespace

std::string Rar5Writer::bytes() const {
    std::string out(kSignature, sizeof kSignature);
    std::string flags;
    PutVint(flags, 0);
    out += Header(1, flags);
    for (const RarEntry& entry : entries)
        out += FileHeader(entry);
    return out + Header(5, flags);
}

} // namespace Vellmar::Testing
