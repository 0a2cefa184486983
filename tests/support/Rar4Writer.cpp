#include "tests/support/Rar4Writer.h"

#include <algorithm>
#include <array>
#include <fstream>
#include <stdexcept>

namespace Vellmar::Testing {

namespace {

constexpr char kMarker[] = {'R', 'a', 'r', '!', 0x1a, 0x07, 0x00};
// clang-format off
enum : std::uint16_t {
    MainVolume = 0x0001, MainNewNumbering = 0x0010, MainFirstVolume = 0x0100,
    FileSplitBefore = 0x0001, FileSplitAfter = 0x0002, FilePassword = 0x0004,
    FileDirectory = 0x00e0, FileUnicode = 0x0200, LongBlock = 0x8000,
    EndNextVolume = 0x0001,
};
// clang-format on

// A block: CRC16 (low half of the CRC32 of everything after it), type, flags, size, body.
std::string Block(unsigned type, unsigned flags, const std::string& body, bool badCrc = false) {
    std::string head;
    head += static_cast<char>(type);
    PutLittleEndian(head, flags, 2);
    PutLittleEndian(head, static_cast<unsigned>(body.size() + 7), 2);
    head += body;
    std::string out;
    PutLittleEndian(out, (Rar4Writer::Crc32(head) & 0xffff) ^ (badCrc ? 0x5a5a : 0), 2);
    return out + head;
}

std::string MainHeader(std::uint16_t flags) {
    return Block(0x73, flags, std::string(6, '\0'));
}

bool IsAscii(const std::string& text) {
    return std::all_of(text.begin(), text.end(), [](unsigned char c) { return c < 0x80; });
}

// A file header with `part` as its data; `total` and `crc` describe the whole file.
std::string FileBlock(const RarEntry& entry, const std::string& part, std::uint32_t total,
                      std::uint32_t crc, std::uint16_t extraFlags) {
    std::uint16_t flags = LongBlock | extraFlags;
    if (entry.kind == RarEntry::Kind::Folder)
        flags |= FileDirectory;
    if (entry.encrypted)
        flags |= FilePassword;
    if (!IsAscii(entry.name))
        flags |= FileUnicode; // a name without a zero byte is read as UTF-8
    std::string body;
    PutLittleEndian(body, static_cast<std::uint32_t>(part.size()));
    PutLittleEndian(body, total);
    body += static_cast<char>(entry.windows ? 2 : 3);
    PutLittleEndian(body, entry.badDataCrc ? ~crc : crc);
    PutLittleEndian(body, (44u << 25) | (6u << 21) | (15u << 16) | (12u << 11)); // 2024-06-15 12:00
    body += static_cast<char>(29);
    body += static_cast<char>(0x30);
    PutLittleEndian(body, static_cast<unsigned>(entry.name.size()), 2);
    PutLittleEndian(body, HostAttributes(entry));
    body += entry.name;
    return Block(0x74, flags, body, entry.badHeaderCrc) + part;
}

std::string WholeFile(const RarEntry& entry) {
    return FileBlock(entry, entry.data, static_cast<std::uint32_t>(entry.data.size()),
                     Rar4Writer::Crc32(entry.data), 0);
}

} // namespace

void PutLittleEndian(std::string& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out += static_cast<char>((value >> (8 * i)) & 0xff);
}

std::uint32_t HostAttributes(const RarEntry& entry) {
    const bool folder = entry.kind == RarEntry::Kind::Folder;
    if (entry.windows)
        return folder ? 0x10 : 0x20;
    if (entry.kind == RarEntry::Kind::Symlink)
        return 0120777;
    return folder ? 040755 : 0100644;
}

std::string Rar4Writer::bytes() const {
    std::string out(kMarker, sizeof kMarker);
    out += MainHeader(mainFlags);
    for (const RarEntry& entry : entries)
        out += WholeFile(entry);
    return out + Block(0x7b, 0, {});
}

std::vector<std::string> Rar4Writer::twoVolumes(std::size_t firstPartSize) const {
    if (entries.empty() || entries.back().kind != RarEntry::Kind::File ||
        firstPartSize > entries.back().data.size())
        throw std::invalid_argument("twoVolumes: the last entry must be a long enough file");
    const RarEntry& split = entries.back();
    const std::string first = split.data.substr(0, firstPartSize);
    const std::string second = split.data.substr(firstPartSize);
    const auto total = static_cast<std::uint32_t>(split.data.size());
    const std::uint16_t flags = mainFlags | MainVolume | MainNewNumbering;

    std::string one(kMarker, sizeof kMarker);
    one += MainHeader(flags | MainFirstVolume);
    for (std::size_t i = 0; i + 1 < entries.size(); ++i)
        one += WholeFile(entries[i]);
    one += FileBlock(split, first, total, Crc32(first), FileSplitAfter);
    one += Block(0x7b, EndNextVolume, {});

    std::string two(kMarker, sizeof kMarker);
    two += MainHeader(flags);
    two += FileBlock(split, second, total, Crc32(split.data), FileSplitBefore);
    two += Block(0x7b, 0, {});
    return {one, two};
}

void Rar4Writer::save(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write " + path);
}

std::uint32_t Rar4Writer::Crc32(const std::string& bytes, std::uint32_t crc) {
    static const std::array<std::uint32_t, 256> table = [] {
        std::array<std::uint32_t, 256> t{};
        for (std::uint32_t i = 0; i < 256; ++i) {
            std::uint32_t c = i;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xedb88320u ^ (c >> 1) : c >> 1;
            t[i] = c;
        }
        return t;
    }();
    crc = ~crc;
    for (unsigned char byte : bytes)
        crc = table[(crc ^ byte) & 0xff] ^ (crc >> 8);
    return ~crc;
}

} // namespace Vellmar::Testing
