#include "platform/MountWatcher.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace Vellmar::Platform {

namespace {

bool IsOctal(char c) {
    return c >= '0' && c <= '7';
}

// The n-th (0-based) space-separated field of a line, or nothing.
bool Field(std::string_view line, int n, std::string_view& out) {
    std::size_t start = 0;
    for (int i = 0;; ++i) {
        const std::size_t end = std::min(line.find(' ', start), line.size());
        if (i == n) {
            out = line.substr(start, end - start);
            return !out.empty();
        }
        if (end >= line.size())
            return false;
        start = end + 1;
    }
}

} // namespace

MountWatcher::MountWatcher(std::string path) : path(std::move(path)) {
    fd = ::open(this->path.c_str(), O_RDONLY | O_CLOEXEC);
    current = ParseMountPoints(ReadAll());
    seen.insert(current.begin(), current.end());
}

MountWatcher::~MountWatcher() {
    if (fd >= 0)
        ::close(fd);
}

std::string MountWatcher::ReadAll() {
    if (fd < 0)
        return {};
    // The proc file has to be read from its start again to re-arm the notification.
    if (::lseek(fd, 0, SEEK_SET) < 0)
        return {};
    std::string text;
    char buffer[8192];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        text.append(buffer, static_cast<std::size_t>(n));
    }
    return text;
}

std::vector<std::string> MountWatcher::Changes() {
    std::vector<std::string> table = ParseMountPoints(ReadAll());
    std::vector<std::string> added;
    for (const std::string& point : table) {
        if (std::find(current.begin(), current.end(), point) == current.end() &&
            std::find(added.begin(), added.end(), point) == added.end())
            added.push_back(point);
    }
    seen.insert(table.begin(), table.end());
    current = std::move(table);
    return added;
}

std::string MountWatcher::HoldingMountPoint(std::string_view path) const {
    std::string best;
    bool found = false;
    for (const std::string& point : seen) {
        if (MountPointHolds(point, path) && (!found || point.size() > best.size())) {
            best = point;
            found = true;
        }
    }
    return best;
}

std::vector<std::string> MountWatcher::ParseMountPoints(std::string_view mountinfo) {
    std::vector<std::string> points;
    while (!mountinfo.empty()) {
        const std::size_t end = std::min(mountinfo.find('\n'), mountinfo.size());
        std::string_view field;
        if (Field(mountinfo.substr(0, end), 4, field) && field.front() == '/')
            points.push_back(Unescape(field));
        mountinfo.remove_prefix(std::min(end + 1, mountinfo.size()));
    }
    return points;
}

std::string MountWatcher::Unescape(std::string_view field) {
    std::string text;
    text.reserve(field.size());
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size() && IsOctal(field[i + 1]) &&
            IsOctal(field[i + 2]) && IsOctal(field[i + 3])) {
            const int value =
                (field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 + (field[i + 3] - '0');
            text.push_back(static_cast<char>(value & 0xFF));
            i += 3;
        } else {
            text.push_back(field[i]);
        }
    }
    return text;
}

bool MountPointHolds(std::string_view mountPoint, std::string_view path) {
    if (mountPoint.empty() || path.substr(0, mountPoint.size()) != mountPoint)
        return false;
    return mountPoint == "/" || path.size() == mountPoint.size() || path[mountPoint.size()] == '/';
}

std::string ReRoot(std::string_view path, std::string_view from, std::string_view to) {
    if (!MountPointHolds(from, path))
        return {};
    std::string rest(path.substr(from == "/" ? 0 : from.size()));
    std::string base(to);
    if (!base.empty() && base.back() == '/')
        base.pop_back();
    if (rest.empty() || rest.front() != '/')
        rest.insert(rest.begin(), '/');
    return base + (rest == "/" && !base.empty() ? "" : rest);
}

} // namespace Vellmar::Platform
