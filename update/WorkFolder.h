#pragma once

#include <string>
#include <string_view>
#include <vector>

// A folder for the news update's own work (the download, the unpacked archive), named
// "<uuid>.vellmar-news" and locked with flock for as long as its job holds it. A launcher that
// is killed leaves such folders behind; the lock ends with the process, so a later news update
// can tell them from the work of a launcher still running and remove them.
class WorkFolder {
public:
    WorkFolder() = default;
    ~WorkFolder();
    WorkFolder(WorkFolder&& other) noexcept;
    WorkFolder& operator=(WorkFolder&& other) noexcept;
    WorkFolder(const WorkFolder&) = delete;
    WorkFolder& operator=(const WorkFolder&) = delete;

    // A fresh locked folder in `parent`; throws when none can be made.
    static WorkFolder Create(const std::wstring& parent);

    // Removes the work folders in `parent` that no running launcher holds; returns their paths.
    // What cannot be removed stays for the next time.
    static std::vector<std::wstring> RemoveAbandoned(const std::wstring& parent);

    static bool IsWorkName(std::string_view name);

    const std::wstring& Path() const { return path; }
    // Deletes the folder with its contents and releases the lock; failures are ignored.
    void Delete() noexcept;

private:
    WorkFolder(std::wstring path, int fd) : path(std::move(path)), fd(fd) {}
    void Release() noexcept;

    std::wstring path;
    int fd = -1;
};
