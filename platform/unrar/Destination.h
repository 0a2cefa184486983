#pragma once

#include "platform/unrar/UniqueFd.h"

#include <sys/types.h>

#include <cstddef>
#include <span>
#include <string>

namespace Vellmar::Unrar {

// Creates archive entries below one destination folder. Every step is relative to a folder
// descriptor and refuses symbolic links, so a link planted in the destination (or by an
// earlier entry) cannot redirect a write outside of it.
class Destination {
public:
    // Opens `path` (created with its parents when missing); an empty path is the current folder.
    bool open(const std::string& path);

    // Opens the folder made of `components`, creating what is missing.
    UniqueFd folder(std::span<const std::string> components) const;

private:
    UniqueFd root;
};

// A file written under a temporary name and renamed into place only when complete, so a
// failed or refused extraction leaves nothing behind under the entry's name.
class PendingFile {
public:
    PendingFile(int folderFd, std::string name, mode_t mode);
    ~PendingFile();
    PendingFile(const PendingFile&) = delete;
    PendingFile& operator=(const PendingFile&) = delete;

    bool isOpen() const { return static_cast<bool>(fd); }
    bool write(const void* data, std::size_t size);
    bool commit(std::int64_t mtime, long nanoseconds);

private:
    int folderFd;
    std::string name;
    std::string temporaryName;
    UniqueFd fd;
    bool closed = false;
    bool committed = false;
};

} // namespace Vellmar::Unrar
