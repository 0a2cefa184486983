#pragma once

#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace Vellmar::Platform {

// Media arrival on Linux: the kernel flags /proc/self/mountinfo with POLLPRI whenever the
// mount table changes; a mount point that was not there before is "media inserted".
class MountWatcher {
public:
    // `path` is a mountinfo file; tests hand in fixtures. An unreadable file gives an empty
    // table and no descriptor.
    explicit MountWatcher(std::string path = "/proc/self/mountinfo");
    ~MountWatcher();
    MountWatcher(const MountWatcher&) = delete;
    MountWatcher& operator=(const MountWatcher&) = delete;

    // Poll it for POLLPRI (a QSocketNotifier of type Exception); -1 when the file is unreadable.
    int Descriptor() const { return fd; }

    // Reads the table again; the mount points that have appeared since the last read, in
    // table order.
    std::vector<std::string> Changes();

    const std::vector<std::string>& MountPoints() const { return current; }

    // The longest mount point ever seen that holds `path` ("/" holds every absolute path);
    // empty when none does.
    std::string HoldingMountPoint(std::string_view path) const;

    // The fifth field of every line, with the kernel's octal escapes (\040 for a space, \011,
    // \012, \134) decoded. Malformed lines are skipped.
    static std::vector<std::string> ParseMountPoints(std::string_view mountinfo);
    static std::string Unescape(std::string_view field);

private:
    std::string ReadAll();

    std::string path;
    int fd = -1;
    std::vector<std::string> current;
    std::set<std::string> seen;
};

// `path` with the mount point `from` that holds it replaced by `to`; empty when `from` does not
// hold it.
std::string ReRoot(std::string_view path, std::string_view from, std::string_view to);

// True when `mountPoint` is `path` itself or one of its leading folders.
bool MountPointHolds(std::string_view mountPoint, std::string_view path);

} // namespace Vellmar::Platform
