#include "update/WorkFolder.h"

#include "support/Directory.h"
#include "support/Path.h"
#include "support/PathResolve.h"
#include "support/Text.h"
#include "support/UniqueName.h"
#include "support/VellmarException.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <exception>
#include <utility>

namespace {

constexpr wchar_t kSuffix[] = L".vellmar-news";
constexpr std::string_view kNarrowSuffix = ".vellmar-news";

bool SameEntry(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

enum class Lock { Required, WhereSupported };

// An exclusive lock on the folder at `native`, or -1 when another process holds it or the
// folder was replaced or removed meanwhile. A file system without locks gets an unlocked
// folder where `Lock::WhereSupported`: there no clean-up can lock, so none removes it.
int LockFolder(const std::string& native, Lock lock) {
    const int fd = ::open(native.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return -1;
    const bool locked = ::flock(fd, LOCK_EX | LOCK_NB) == 0;
    const bool unsupported = !locked && errno != EWOULDBLOCK && errno != EINTR;
    struct stat held {
    }, named{};
    if ((!locked && (lock == Lock::Required || !unsupported)) || ::fstat(fd, &held) != 0 ||
        ::lstat(native.c_str(), &named) != 0 || !SameEntry(held, named)) {
        ::close(fd);
        return -1;
    }
    return fd;
}

} // namespace

WorkFolder::~WorkFolder() {
    Release();
}

WorkFolder::WorkFolder(WorkFolder&& other) noexcept
    : path(std::move(other.path)), fd(std::exchange(other.fd, -1)) {}

WorkFolder& WorkFolder::operator=(WorkFolder&& other) noexcept {
    if (this != &other) {
        Release();
        path = std::move(other.path);
        fd = std::exchange(other.fd, -1);
    }
    return *this;
}

void WorkFolder::Release() noexcept {
    if (fd >= 0)
        ::close(fd);
    fd = -1;
}

WorkFolder WorkFolder::Create(const std::wstring& parent) {
    int locked = -1;
    const std::wstring path = Vellmar::TryWithUniqueName(
        [&](const std::wstring& candidate) {
            Vellmar::Directory::Create(candidate);
            // Another launcher's clean-up may have taken the new folder away already.
            locked = LockFolder(Vellmar::NativePath(candidate), Lock::WhereSupported);
            if (locked < 0)
                Vellmar::ThrowLastWin32Error("WorkFolder::Create failed", candidate);
        },
        parent, kSuffix);
    return WorkFolder(path, locked);
}

void WorkFolder::Delete() noexcept {
    try {
        if (!path.empty() && fd >= 0)
            Vellmar::Directory::Delete(path);
    } catch (const std::exception&) {
    }
    Release();
}

bool WorkFolder::IsWorkName(std::string_view name) {
    constexpr std::size_t kUuidLength = 36;
    if (name.size() != kUuidLength + kNarrowSuffix.size() || !name.ends_with(kNarrowSuffix))
        return false;
    for (std::size_t i = 0; i < kUuidLength; ++i) {
        const bool dash = i == 8 || i == 13 || i == 18 || i == 23;
        const char c = name[i];
        if (dash ? c != '-' : !std::isxdigit(static_cast<unsigned char>(c)))
            return false;
    }
    return true;
}

std::vector<std::wstring> WorkFolder::RemoveAbandoned(const std::wstring& parent) {
    std::vector<std::wstring> removed;
    const std::string native = Vellmar::NativePath(parent);
    DIR* listing = ::opendir(native.c_str());
    if (listing == nullptr)
        return removed;
    std::vector<std::string> names;
    while (const dirent* entry = ::readdir(listing))
        if (IsWorkName(entry->d_name))
            names.emplace_back(entry->d_name);
    ::closedir(listing);
    for (const std::string& name : names) {
        // A running launcher holds the lock on its own work.
        WorkFolder abandoned(Vellmar::Append(parent, Vellmar::Utf8ToWide(name)),
                             LockFolder(native + "/" + name, Lock::Required));
        if (abandoned.fd < 0)
            continue;
        try {
            Vellmar::Directory::Delete(abandoned.path);
            removed.push_back(abandoned.path);
        } catch (const std::exception&) {
        }
    }
    return removed;
}
