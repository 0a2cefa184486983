#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace Vellmar::Testing {

// One entry of a stored (uncompressed) RAR4 archive, with knobs that break it on purpose.
struct RarEntry {
    enum class Kind { File, Folder, Symlink };
    std::string name;      // UTF-8; non-ASCII names are stored with the Unicode flag
    std::string data = {}; // file contents or link target
    Kind kind = Kind::File;
    bool encrypted = false;  // password flag set, data left as is
    bool badDataCrc = false; // stored data CRC does not match
    bool badHeaderCrc = false;
    bool windows = false;    // made on Windows: attributes are 0x20 (file) or 0x10 (folder)
    std::string blake2 = {}; // RAR5: 32 bytes written as the BLAKE2sp hash instead of a CRC32
};

std::uint32_t HostAttributes(const RarEntry& entry);
// Appends the low `bytes` bytes of `value`, least significant first.
void PutLittleEndian(std::string& out, std::uint32_t value, int bytes = 4);

// The entry list and its builder calls, shared by both archive writers.
template <typename Writer> class RarEntries {
public:
    Writer& file(std::string name, std::string data) {
        return add({std::move(name), std::move(data), RarEntry::Kind::File});
    }
    Writer& folder(std::string name) { return add({std::move(name), {}, RarEntry::Kind::Folder}); }
    Writer& add(RarEntry entry) {
        entries.push_back(std::move(entry));
        return static_cast<Writer&>(*this);
    }

protected:
    std::vector<RarEntry> entries;
};

// Writes stored (method 0x30) RAR4 archives with correct header and data CRCs.
class Rar4Writer : public RarEntries<Rar4Writer> {
public:
    Rar4Writer& symlink(std::string name, std::string target) {
        return add({std::move(name), std::move(target), RarEntry::Kind::Symlink});
    }

    // Archive-wide flags of the main header.
    Rar4Writer& solid(bool on = true) { return MainFlag(0x0008, on); }
    Rar4Writer& encryptedHeaders(bool on = true) { return MainFlag(0x0080, on); }

    std::string bytes() const;
    // Two volumes of a volume set (new numbering): the last entry, a file, is split after
    // `firstPartSize` bytes; every other entry lies in the first volume.
    std::vector<std::string> twoVolumes(std::size_t firstPartSize) const;

    static void save(const std::string& path, const std::string& bytes);
    static std::uint32_t Crc32(const std::string& bytes, std::uint32_t crc = 0);

private:
    Rar4Writer& MainFlag(std::uint16_t bit, bool on) {
        mainFlags = on ? (mainFlags | bit) : (mainFlags & ~bit);
        return *this;
    }
    std::uint16_t mainFlags = 0;
};

} // namespace Vellmar::Testing
