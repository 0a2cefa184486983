#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace Vellmar::Unrar {

enum class ArchiveFormat { None, Rar4, Rar5 };

// What one file header says about its item beyond what libarchive reports: the checksums of
// the data (libarchive does not check stored data) and the fields of the header records.
struct FileRecord {
    bool continued = false;  // a part continued from the previous volume
    bool splitAfter = false; // continues in the next volume
    unsigned hostOs = 0;     // numbered as in the library interface: 2 Windows, 3 Unix
    unsigned attributes = 0;
    unsigned method = 0x30;
    unsigned version = 0;
    unsigned dictionaryKb = 0;
    std::uint64_t packSize = 0;
    bool hasCrc = false;
    std::uint32_t crc = 0;
    bool hasBlake2 = false;
    std::array<unsigned char, 32> blake2{};
};

// What the block headers of one volume say, read before libarchive sees the data: libarchive
// neither refuses solid RAR4 archives nor tells where a volume set continues.
struct VolumeInfo {
    ArchiveFormat format = ArchiveFormat::None;
    bool broken = false;
    bool volume = false;
    bool solid = false;
    bool encryptedHeaders = false;
    bool newNumbering = false;
    bool firstVolume = false;
    bool locked = false;
    bool hasNextVolume = false;
    // One per file header, in order; the last part of a split file carries the whole
    // file's checksum.
    std::vector<FileRecord> files;
};

VolumeInfo ProbeVolume(int fd);

} // namespace Vellmar::Unrar
