#include "platform/unrar/VolumeChain.h"

#include "platform/unrar/unrar.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>

namespace Vellmar::Unrar {

namespace {

constexpr int kAskLimit = 16;

std::uint64_t FileSize(int fd) {
    struct stat st {};
    return ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) ? static_cast<std::uint64_t>(st.st_size)
                                                        : 0;
}

bool IsDigit(char c) {
    return std::isdigit(static_cast<unsigned char>(c)) != 0;
}

// Increments the decimal run ending at `end` (exclusive), growing it on overflow.
std::string IncrementDigitsBefore(std::string name, std::size_t end) {
    std::size_t pos = end;
    while (pos > 0) {
        char& c = name[pos - 1];
        if (!IsDigit(c))
            break;
        if (c != '9') {
            ++c;
            return name;
        }
        c = '0';
        --pos;
    }
    return name.substr(0, pos) + '1' + name.substr(pos);
}

} // namespace

std::string NextVolumeName(const std::string& current, bool newNumbering) {
    const std::size_t slash = current.find_last_of('/');
    const std::size_t base = slash == std::string::npos ? 0 : slash + 1;
    std::size_t dot = current.find_last_of('.');
    if (dot == std::string::npos || dot < base)
        dot = current.size();
    if (newNumbering) {
        std::size_t end = dot;
        // "x.part1.rar": the digits right before the extension.
        while (end > base && !IsDigit(current[end - 1]) && current[end - 1] != '.')
            --end;
        if (end > base && IsDigit(current[end - 1]))
            return IncrementDigitsBefore(current, end);
        return IncrementDigitsBefore(current, dot);
    }
    if (dot + 4 != current.size())
        return current.substr(0, dot) + ".r00";
    const std::string ext = current.substr(dot + 1);
    if (!IsDigit(ext[1]) || !IsDigit(ext[2]))
        return current.substr(0, dot) + ".r00";
    std::string next = current;
    if (ext[2] != '9') {
        ++next[dot + 3];
    } else if (ext[1] != '9') {
        ++next[dot + 2];
        next[dot + 3] = '0';
    } else {
        ++next[dot + 1];
        next[dot + 2] = next[dot + 3] = '0';
    }
    return next;
}

int VolumeChain::open(const std::string& firstName) {
    fd.reset(::open(firstName.c_str(), O_RDONLY | O_CLOEXEC));
    if (!fd)
        return ERAR_EOPEN;
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode))
        return ERAR_EOPEN;
    names.assign(1, firstName);
    first = ProbeVolume(fd.get());
    collectFiles(first);
    current = first;
    remaining = FileSize(fd.get());
    if (first.format == ArchiveFormat::None)
        return ERAR_BAD_ARCHIVE;
    if (first.broken)
        return ERAR_BAD_DATA;
    return ERAR_SUCCESS;
}

// Moves the volume's records into the chain's one list.
void VolumeChain::collectFiles(VolumeInfo& info) {
    for (const FileRecord& part : info.files) {
        if (!part.continued || files.empty()) {
            files.push_back(part);
            continue;
        }
        // The last part of a split file carries the checksum of the whole file.
        FileRecord& whole = files.back();
        whole.splitAfter = part.splitAfter;
        whole.hasCrc = part.hasCrc;
        whole.crc = part.crc;
        whole.hasBlake2 = part.hasBlake2;
        whole.blake2 = part.blake2;
    }
    info.files.clear();
    info.files.shrink_to_fit();
}

const FileRecord* VolumeChain::file(std::size_t index) const {
    return index < files.size() ? &files[index] : nullptr;
}

ssize_t VolumeChain::read(const void** out) {
    while (remaining == 0) {
        if (failed != Failure::None || !current.hasNextVolume || !advance())
            return failed == Failure::None ? 0 : -1;
    }
    constexpr std::uint64_t kReadSize = 1 << 20;
    // Sized to the data, so small archives do not pay for a large buffer.
    const std::uint64_t size = remaining < kReadSize ? remaining : kReadSize;
    if (buffer.size() < size)
        buffer.resize(size);
    const std::size_t wanted = remaining < buffer.size() ? remaining : buffer.size();
    ssize_t got;
    do {
        got = ::read(fd.get(), buffer.data(), wanted);
    } while (got < 0 && errno == EINTR);
    if (got <= 0) {
        failed = Failure::Read;
        return -1;
    }
    remaining -= static_cast<std::uint64_t>(got);
    *out = buffer.data();
    return got;
}

std::int64_t VolumeChain::skip(std::int64_t request) {
    if (request <= 0 || remaining == 0)
        return 0;
    const auto step = static_cast<std::uint64_t>(request) < remaining
                          ? static_cast<std::uint64_t>(request)
                          : remaining;
    if (::lseek(fd.get(), static_cast<off_t>(step), SEEK_CUR) < 0)
        return 0;
    remaining -= step;
    return static_cast<std::int64_t>(step);
}

UniqueFd VolumeChain::openVolume(std::string& name) {
    for (int attempt = 0; attempt < kAskLimit; ++attempt) {
        UniqueFd next(::open(name.c_str(), O_RDONLY | O_CLOEXEC));
        if (next)
            return next;
        if (!asker || !asker(name, RAR_VOL_ASK))
            break;
    }
    return UniqueFd();
}

bool VolumeChain::advance() {
    std::string name = NextVolumeName(names.back(), first.newNumbering);
    UniqueFd next = openVolume(name);
    if (!next) {
        failed = Failure::Missing;
        return false;
    }
    VolumeInfo info = ProbeVolume(next.get());
    if (info.format != first.format || info.broken || !info.volume) {
        failed = Failure::NotAVolume;
        return false;
    }
    if (asker && !asker(name, RAR_VOL_NOTIFY)) {
        failed = Failure::Stopped;
        return false;
    }
    names.push_back(name);
    collectFiles(info);
    current = std::move(info);
    remaining = FileSize(next.get());
    fd = std::move(next);
    return true;
}

} // namespace Vellmar::Unrar
