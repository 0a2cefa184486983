#include "support/CommitDirectory.h"

#include "support/Directory.h"
#include "support/Path.h"
#include "support/PathResolve.h"
#include "support/UniqueName.h"

#include "support/VellmarException.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <exception>

namespace Vellmar {

namespace {

// Makes the renames in `folder` durable before anything is deleted.
void SyncFolder(const std::wstring& folder) {
    const int fd = ::open(NativePath(folder).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}

// A folder is deleted with its contents; anything else, a symbolic link included, is unlinked.
void RemoveEntry(const std::wstring& path) {
    const std::string native = NativePath(path);
    struct stat st {};
    if (::lstat(native.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
        Directory::Delete(path);
        return;
    }
    if (::unlink(native.c_str()) != 0)
        ThrowLastWin32Error("CommitDirectory failed to remove the old entry", path);
}

CommitLeftover RemoveReplaced(const std::wstring& path, const CommitMoves& moves) {
    try {
        moves.remove(path);
        return {};
    } catch (const std::exception& error) {
        return {path, DescribeException(error)};
    }
}

CommitLeftover MoveAsideAndReplace(const std::wstring& location, const std::wstring& newFolder,
                                   const std::wstring& parent, const CommitMoves& moves) {
    const std::wstring backup = TryWithUniqueName(
        [&](const std::wstring& path) { moves.rename(location, path); }, parent, L"");
    try {
        moves.rename(newFolder, location);
    } catch (...) {
        try {
            moves.rename(backup, location);
        } catch (const std::exception&) {
            // The first failure is the one worth reporting; the old folder stays at `backup`.
        }
        throw;
    }
    SyncFolder(parent);
    return RemoveReplaced(backup, moves);
}

} // namespace

CommitMoves DefaultCommitMoves() {
    return {ExchangePaths, Rename, RemoveEntry};
}

std::wstring WithoutTrailingSeparators(const std::wstring& path) {
    std::wstring out = NormalizeSeparators(path);
    while (out.size() > 1 && out.back() == L'/')
        out.pop_back();
    return out;
}

CommitLeftover CommitDirectory(const std::wstring& location, const std::wstring& newFolder,
                               const CommitMoves& moves) {
    const std::wstring target = WithoutTrailingSeparators(location);
    const std::wstring source = WithoutTrailingSeparators(newFolder);
    const std::wstring parent = RemoveFileSpec(target);
    if (!PathExists(target)) {
        moves.rename(source, target);
        SyncFolder(parent);
        return {};
    }
    if (!moves.exchange(source, target))
        return MoveAsideAndReplace(target, source, parent, moves);
    // The old folder now sits where the new one was.
    SyncFolder(parent);
    const std::wstring sourceParent = RemoveFileSpec(source);
    if (sourceParent != parent)
        SyncFolder(sourceParent);
    return RemoveReplaced(source, moves);
}

} // namespace Vellmar
