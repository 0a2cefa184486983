#include "platform/unrar/Destination.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>

namespace Vellmar::Unrar {

namespace {

constexpr int kFolderFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;

UniqueFd OpenOrCreateFolder(int parent, const char* name) {
    UniqueFd fd(::openat(parent, name, kFolderFlags));
    if (!fd && errno == ENOENT) {
        if (::mkdirat(parent, name, 0777) != 0 && errno != EEXIST)
            return UniqueFd();
        fd.reset(::openat(parent, name, kFolderFlags));
    }
    return fd;
}

std::string TemporaryName(const std::string& name) {
    static std::atomic<unsigned> counter{0};
    return ".unrar-" + std::to_string(::getpid()) + "-" + std::to_string(++counter) + "-" +
           name.substr(0, 128);
}

} // namespace

bool Destination::open(const std::string& path) {
    const bool absolute = !path.empty() && path.front() == '/';
    UniqueFd current(::open(absolute ? "/" : ".", kFolderFlags));
    std::size_t start = 0;
    while (current && start < path.size()) {
        std::size_t end = path.find('/', start);
        if (end == std::string::npos)
            end = path.size();
        const std::string part = path.substr(start, end - start);
        start = end + 1;
        if (part.empty() || part == ".")
            continue;
        // The destination itself is the caller's choice: links along it are followed.
        UniqueFd next(::openat(current.get(), part.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        if (!next && errno == ENOENT &&
            (::mkdirat(current.get(), part.c_str(), 0777) == 0 || errno == EEXIST))
            next.reset(::openat(current.get(), part.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        current = std::move(next);
    }
    root = std::move(current);
    return static_cast<bool>(root);
}

UniqueFd Destination::folder(std::span<const std::string> components) const {
    UniqueFd current(::fcntl(root.get(), F_DUPFD_CLOEXEC, 0));
    for (const std::string& part : components) {
        if (!current)
            break;
        current = OpenOrCreateFolder(current.get(), part.c_str());
    }
    return current;
}

PendingFile::PendingFile(int folderFd, std::string name, mode_t mode)
    : folderFd(folderFd), name(std::move(name)), temporaryName(TemporaryName(this->name)) {
    fd.reset(::openat(folderFd, temporaryName.c_str(),
                      O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode));
}

PendingFile::~PendingFile() {
    const bool created = static_cast<bool>(fd) || closed;
    fd.reset();
    if (created && !committed)
        ::unlinkat(folderFd, temporaryName.c_str(), 0);
}

bool PendingFile::write(const void* data, std::size_t size) {
    const auto* bytes = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t written = ::write(fd.get(), bytes, size);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        bytes += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

bool PendingFile::commit(std::int64_t mtime, long nanoseconds) {
    const struct timespec times[2] = {{0, UTIME_OMIT}, {static_cast<time_t>(mtime), nanoseconds}};
    ::futimens(fd.get(), times);
    closed = true;
    if (::close(fd.release()) != 0)
        return false;
    if (::renameat(folderFd, temporaryName.c_str(), folderFd, name.c_str()) != 0)
        return false;
    committed = true;
    return true;
}

} // namespace Vellmar::Unrar
