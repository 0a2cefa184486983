#pragma once

#include <sys/types.h>

#include <cstdint>
#include <memory>
#include <string>

struct archive;

namespace Vellmar::Unrar {

class VolumeChain;

struct EntryInfo {
    enum class Kind { File, Directory, Link, Other };
    std::string path; // UTF-8 when the archive stores Unicode names, else the stored bytes
    Kind kind = Kind::File;
    std::int64_t size = 0;
    bool encrypted = false;
    std::int64_t mtime = 0;
    long mtimeNanoseconds = 0;
    mode_t mode = 0;
};

// The one wrapper around libarchive: a RAR4/RAR5 reader over the bytes of a VolumeChain.
// Results are libarchive status codes (ARCHIVE_OK, ARCHIVE_EOF, ARCHIVE_WARN, ...).
class ArchiveReader {
public:
    explicit ArchiveReader(VolumeChain& source);
    ~ArchiveReader();
    ArchiveReader(const ArchiveReader&) = delete;
    ArchiveReader& operator=(const ArchiveReader&) = delete;

    int open();
    int next(EntryInfo& entry);
    // Next piece of the current entry's data; ARCHIVE_EOF after the last one.
    int readBlock(const void** data, std::size_t* size);
    int skipData();
    std::string errorText() const;

private:
    struct Free {
        void operator()(archive* a) const;
    };
    struct FreeLocale {
        void operator()(void* locale) const;
    };
    VolumeChain& source;
    std::unique_ptr<void, FreeLocale> utf8;
    std::unique_ptr<archive, Free> handle;
};

} // namespace Vellmar::Unrar
