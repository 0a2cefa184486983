#pragma once

#include "platform/unrar/ArchiveProbe.h"
#include "platform/unrar/UniqueFd.h"

#include <sys/types.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace Vellmar::Unrar {

// Name of the volume after `current`: "x.part1.rar" -> "x.part2.rar" with new numbering,
// "x.rar" -> "x.r00" -> "x.r01" ... "x.r99" -> "x.s00" with the old one.
std::string NextVolumeName(const std::string& current, bool newNumbering);

// The bytes of a volume set as one stream, opening the next volume only when the reader
// needs it, as libarchive reads split entries across volume boundaries.
class VolumeChain {
public:
    // Asked when a volume is missing (RAR_VOL_ASK, may change the name) or has been opened
    // (RAR_VOL_NOTIFY); false stops reading.
    using Asker = std::function<bool(std::string& name, int mode)>;

    enum class Failure { None, Missing, Stopped, NotAVolume, Read };

    // 0 or the open error of the library interface (ERAR_EOPEN and friends).
    int open(const std::string& firstName);
    void setAsker(Asker handler) { asker = std::move(handler); }

    const VolumeInfo& firstVolume() const { return first; }
    const std::string& firstName() const { return names.front(); }
    Failure failure() const { return failed; }
    // The file header of the index-th entry; its checksums are the whole file's once its last
    // part has been read. Null when no header was seen for it.
    const FileRecord* file(std::size_t index) const;

    // libarchive client callbacks: bytes of the stream and a skip within the current volume.
    ssize_t read(const void** buffer);
    std::int64_t skip(std::int64_t request);

private:
    bool advance();
    UniqueFd openVolume(std::string& name);
    void collectFiles(VolumeInfo& info);

    std::vector<std::string> names;
    VolumeInfo first;
    VolumeInfo current;
    UniqueFd fd;
    std::uint64_t remaining = 0;
    Asker asker;
    Failure failed = Failure::None;
    std::vector<FileRecord> files;
    std::vector<unsigned char> buffer;
};

} // namespace Vellmar::Unrar
