#pragma once

#include <cstdint>
#include <vector>

namespace Vellmar::Unrar {

enum class ArchiveFormat { None, Rar4, Rar5 };

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
    // RAR4 only: the data CRC of each file header in order; libarchive does not check
    // stored data. A part continued from the previous volume is marked.
    struct FileCrc {
        bool continued;
        std::uint32_t crc;
    };
    std::vector<FileCrc> fileCrcs;
};

VolumeInfo ProbeVolume(int fd);

} // namespace Vellmar::Unrar
