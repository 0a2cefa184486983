#include "platform/AtomicFile.h"

#include "support/Text.h"
#include "support/VellmarException.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cctype>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

#include <cerrno>

namespace Vellmar::Platform {

namespace {

class Descriptor {
public:
    explicit Descriptor(int fd) : fd(fd) {}
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor() {
        if (fd >= 0)
            ::close(fd);
    }
    int Get() const { return fd; }
    int Release() {
        const int result = fd;
        fd = -1;
        return result;
    }

private:
    int fd;
};

void WriteAll(int fd, std::string_view bytes, const std::string& path) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR)
                continue;
            ThrowLastWin32Error("write " + path, Utf8ToWide(path));
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
}

// Reading the mask with umask() would briefly change it for every thread; /proc tells it
// without touching it.
mode_t ProcessUmask() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("Umask:", 0) == 0)
            return static_cast<mode_t>(std::stoul(line.substr(6), nullptr, 8));
    return 022;
}

mode_t ModeFor(const std::string& path, mode_t newFileMode) {
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0)
        return info.st_mode & 07777;
    return newFileMode & ~ProcessUmask();
}

constexpr std::string_view kTemporarySuffix = ".XXXXXX";

// `name` is `base` followed by what mkostemp makes of kTemporarySuffix.
bool IsTemporaryOf(std::string_view name, std::string_view base) {
    if (name.size() != base.size() + kTemporarySuffix.size() || !name.starts_with(base) ||
        name[base.size()] != '.')
        return false;
    for (const char c : name.substr(base.size() + 1))
        if (!std::isalnum(static_cast<unsigned char>(c)))
            return false;
    return true;
}

} // namespace

std::optional<std::string> AtomicFile::Read(const std::string& path) {
    Descriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.Get() < 0) {
        if (errno == ENOENT)
            return std::nullopt;
        ThrowLastWin32Error("open " + path, Utf8ToWide(path));
    }
    std::string bytes;
    char buffer[16384];
    for (;;) {
        const ssize_t got = ::read(fd.Get(), buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            ThrowLastWin32Error("read " + path, Utf8ToWide(path));
        if (got == 0)
            return bytes;
        bytes.append(buffer, static_cast<std::size_t>(got));
    }
}

void AtomicFile::Replace(const std::string& path, std::string_view bytes, mode_t newFileMode) {
    const mode_t mode = ModeFor(path, newFileMode);
    std::string temporary = path + std::string(kTemporarySuffix);
    Descriptor fd(::mkostemp(temporary.data(), O_CLOEXEC));
    if (fd.Get() < 0)
        ThrowLastWin32Error("create temporary file for " + path, Utf8ToWide(path));
    try {
        WriteAll(fd.Get(), bytes, temporary);
        if (::fchmod(fd.Get(), mode) != 0 || ::fsync(fd.Get()) != 0)
            ThrowLastWin32Error("sync " + temporary, Utf8ToWide(temporary));
        if (::close(fd.Release()) != 0)
            ThrowLastWin32Error("close " + temporary, Utf8ToWide(temporary));
        if (::rename(temporary.c_str(), path.c_str()) != 0)
            ThrowLastWin32Error("rename " + temporary, Utf8ToWide(path));
    } catch (...) {
        ::unlink(temporary.c_str());
        throw;
    }
}

void AtomicFile::RemoveStaleTemporaries(const std::string& path) {
    const std::filesystem::path file(path);
    const std::string base = file.filename().string();
    const std::filesystem::path folder = file.has_parent_path() ? file.parent_path() : ".";
    std::error_code error;
    for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end;
         it.increment(error)) {
        const std::filesystem::path& entry = it->path();
        struct stat info {};
        if (IsTemporaryOf(entry.filename().string(), base) && ::lstat(entry.c_str(), &info) == 0 &&
            S_ISREG(info.st_mode) && info.st_uid == ::getuid())
            ::unlink(entry.c_str());
    }
}

} // namespace Vellmar::Platform
