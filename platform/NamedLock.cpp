#include "platform/NamedLock.h"

#include "platform/X11Session.h"
#include "support/Text.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace Vellmar::Platform {

namespace {

constexpr std::size_t kMaxEscapedLength = 160;

std::string Escape(std::wstring_view name) {
    const std::string bytes = WideToUtf8(name);
    std::string out;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                           (c >= '0' && c <= '9') || c == '-' || c == '_' || (c == '.' && i > 0);
        if (plain) {
            out += static_cast<char>(c);
        } else {
            char hex[4];
            std::snprintf(hex, sizeof hex, "%%%02X", c);
            out += hex;
        }
    }
    if (out.size() > kMaxEscapedLength) {
        std::uint64_t hash = 14695981039346656037ull; // FNV-1a keeps long names distinct
        for (unsigned char c : bytes)
            hash = (hash ^ c) * 1099511628211ull;
        char suffix[24];
        std::snprintf(suffix, sizeof suffix, "~%016llx", static_cast<unsigned long long>(hash));
        out = out.substr(0, kMaxEscapedLength) + suffix;
    }
    return out;
}

// `folder` exists (made if needed) as a directory that only this user can write.
bool IsPrivateFolder(const std::string& folder, bool create) {
    if (create)
        ::mkdir(folder.c_str(), 0700);
    struct stat info {};
    return ::lstat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode) &&
           info.st_uid == ::getuid() && (info.st_mode & 0022) == 0;
}

// A folder only this user can write, or "" when none can be had. A runtime folder that is
// missing or another user's (as after `sudo -E`) is passed over, not taken as a failure.
std::string LockFolder() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime && *runtime && IsPrivateFolder(runtime, false)) {
        const std::string folder = std::string(runtime) + "/vellmar-mutex";
        if (IsPrivateFolder(folder, true))
            return folder;
    }
    // In a shared /tmp another user could have made the folder first.
    const std::string folder = "/tmp/vellmar-mutex-" + std::to_string(::getuid());
    if (IsPrivateFolder(folder, true))
        return folder;
    errno = EACCES;
    return {};
}

std::optional<pid_t> ReadPid(int fd) {
    char text[32] = {};
    const ssize_t got = ::pread(fd, text, sizeof text - 1, 0);
    if (got <= 0)
        return std::nullopt;
    char* end = nullptr;
    const long pid = std::strtol(text, &end, 10);
    if (end == text || pid <= 0)
        return std::nullopt;
    return static_cast<pid_t>(pid);
}

bool SameFile(int fd, const std::string& path) {
    struct stat opened {};
    struct stat named {};
    return ::fstat(fd, &opened) == 0 && ::stat(path.c_str(), &named) == 0 &&
           opened.st_dev == named.st_dev && opened.st_ino == named.st_ino;
}

} // namespace

std::string NamedLock::LockPath(std::wstring_view name) {
    const std::string folder = LockFolder();
    return folder.empty() ? std::string() : folder + "/" + Escape(name) + ".lock";
}

NamedLock::NamedLock(std::wstring_view name) : name(name), path(LockPath(name)) {
    if (path.empty()) {
        lastError = errno;
        return;
    }
    // A releasing holder unlinks the file while it still holds the lock; whoever locked that
    // unlinked file must start again on the new one.
    for (int attempt = 0; attempt < 100; ++attempt) {
        fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
        if (fd < 0) {
            lastError = errno;
            return;
        }
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            lastError = errno == EWOULDBLOCK ? EEXIST : errno;
            ::close(fd);
            fd = -1;
            return;
        }
        if (SameFile(fd, path)) {
            // Written first, then trimmed: a truncation to zero makes ext4 write the file
            // through to the disk when it is closed, at every start.
            const std::string pid = std::to_string(::getpid()) + "\n";
            if (::pwrite(fd, pid.data(), pid.size(), 0) < 0 ||
                ::ftruncate(fd, static_cast<off_t>(pid.size())) != 0)
                lastError = errno; // the lock holds all the same; only the pid is missing
            created = true;
            return;
        }
        ::close(fd);
        fd = -1;
    }
    lastError = EAGAIN;
}

NamedLock::~NamedLock() {
    Release();
}

void NamedLock::Release() {
    if (fd < 0)
        return;
    if (created)
        ::unlink(path.c_str());
    ::close(fd);
    fd = -1;
    created = false;
}

std::optional<pid_t> NamedLock::HolderPid() const {
    if (path.empty())
        return std::nullopt;
    if (created)
        return ::getpid();
    const int reader = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (reader < 0)
        return std::nullopt;
    // Only a file that is locked right now names a live holder.
    std::optional<pid_t> pid;
    if (::flock(reader, LOCK_SH | LOCK_NB) != 0 && errno == EWOULDBLOCK)
        pid = ReadPid(reader);
    ::close(reader);
    return pid;
}

bool NamedLock::BringHolderToFront() const {
    const auto pid = HolderPid();
    return pid && X11Session::ActivateWindowOfProcess(*pid);
}

} // namespace Vellmar::Platform
