#include "support/Directory.h"

#include "support/Find.h"
#include "support/Path.h"
#include "support/PathResolve.h"
#include "support/Text.h"
#include "support/VellmarException.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <vector>

namespace Vellmar::Directory {

namespace {

[[noreturn]] void Fail(const char* context, const std::string& path, int error = errno) {
    ThrowLastWin32Error(context, error, Utf8ToWide(path));
}

// The read-only attribute of Windows; on a folder it also lets its entries be removed.
void MakeWritable(const std::string& path, const struct stat& info) {
    if ((info.st_mode & S_IWUSR) == 0)
        ::chmod(path.c_str(),
                (info.st_mode & 07777) | S_IWUSR | (S_ISDIR(info.st_mode) ? S_IXUSR : 0));
}

void DeleteTree(const std::string& folder) {
    struct stat info {};
    if (::lstat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode))
        MakeWritable(folder, info);
    for (LTF::IO::Find search(folder, L"*"); !search.empty(); search.next()) {
        const LTF::IO::FindData& entry = search.current();
        if (IsDotOrDotDot(entry.name))
            continue;
        const std::string child = Native::Join(folder, entry.nativeName);
        if (entry.isDirectory() && !entry.isLink())
            DeleteTree(child);
        else if (::unlink(child.c_str()) != 0)
            Fail("Directory::Delete failed (DeleteFile)", child);
    }
    if (::rmdir(folder.c_str()) != 0)
        Fail("Directory::Delete failed (RemoveDirectory)", folder);
}

// Clears the way for a source entry: a folder in place of a file goes, a link is replaced
// rather than written through, a read-only file is made writable.
void PrepareTarget(const std::string& target, bool sourceIsFolder) {
    struct stat info {};
    if (::lstat(target.c_str(), &info) != 0)
        return;
    if (S_ISLNK(info.st_mode)) {
        if (!sourceIsFolder && ::unlink(target.c_str()) != 0)
            Fail("Directory::Copy failed (CopyFile)", target);
    } else if (S_ISDIR(info.st_mode)) {
        if (!sourceIsFolder)
            DeleteTree(target);
    } else {
        MakeWritable(target, info);
    }
}

void CopyLink(const std::string& from, const std::string& to) {
    std::error_code error;
    std::filesystem::copy_symlink(from, to, error);
    if (error)
        Fail("Directory::Copy failed (CopyFile)", to, error.value());
}

void CopyFile(const std::string& from, const std::string& to) {
    std::error_code error;
    std::filesystem::copy_file(from, to, std::filesystem::copy_options::overwrite_existing, error);
    if (error)
        Fail("Directory::Copy failed (CopyFile)", to, error.value());
}

void CopyTree(const std::string& destination, const std::string& source) {
    for (LTF::IO::Find search(source, L"*"); !search.empty(); search.next()) {
        const LTF::IO::FindData& entry = search.current();
        if (IsDotOrDotDot(entry.name))
            continue;
        const std::string from = Native::Join(source, entry.nativeName);
        const std::string to = Native::Join(destination, entry.nativeName);
        // Linked folders are copied as links: following them could loop.
        const bool folder = entry.isDirectory() && !entry.isLink();
        PrepareTarget(to, folder);
        if (folder) {
            if (::mkdir(to.c_str(), 0777) != 0)
                Fail("Directory::Copy failed (CreateDirectory)", to);
            CopyTree(to, from);
        } else if (entry.isLink() && (entry.isDirectory() || entry.targetMissing)) {
            CopyLink(from, to);
        } else {
            CopyFile(from, to);
        }
    }
}

// A destination that is the source or lies inside it would copy its own copies without end.
void RefuseCopyIntoItself(const std::string& destination, const std::string& source) {
    std::error_code error;
    const std::string from = std::filesystem::canonical(source, error).native();
    const std::string to =
        error ? std::string() : std::filesystem::canonical(destination, error).native();
    if (error)
        Fail("Directory::Copy failed", destination, error.value());
    if (to == from || (to.size() > from.size() && to.compare(0, from.size(), from) == 0 &&
                       (from == "/" || to[from.size()] == '/')))
        Fail("Directory::Copy failed", destination, EINVAL);
}

void RequireFolder(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0)
        Fail("Directory::Copy failed", path);
    if (!S_ISDIR(info.st_mode))
        Fail("Directory::Copy failed", path, ENOTDIR);
}

} // namespace

void Create(const std::wstring& path) {
    std::string folder = NativeTargetPath(path);
    // "a/b/" would be created as "a/b" on the way up and then fail as an existing folder.
    while (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
    std::vector<std::string> pending{folder};
    while (!pending.empty()) {
        const std::string top = pending.back();
        if (::mkdir(top.c_str(), 0777) == 0) {
            pending.pop_back();
            continue;
        }
        const int error = errno;
        std::string parent;
        if (error != ENOENT || !Native::Parent(top, parent))
            Fail("Directory::Create failed", top, error);
        pending.push_back(parent);
    }
}

void Delete(const std::wstring& path) {
    const std::string folder = NativePath(path);
    struct stat info {};
    if (::lstat(folder.c_str(), &info) == 0 && S_ISLNK(info.st_mode)) {
        if (::unlink(folder.c_str()) != 0)
            Fail("Directory::Delete failed (DeleteFile)", folder);
        return;
    }
    DeleteTree(folder);
}

void Copy(const std::wstring& destination, const std::wstring& source) {
    const std::string from = NativePath(source);
    const std::string to = NativePath(destination);
    // A missing side would otherwise copy nothing and report success.
    RequireFolder(from);
    RequireFolder(to);
    RefuseCopyIntoItself(to, from);
    CopyTree(to, from);
}

} // namespace Vellmar::Directory
