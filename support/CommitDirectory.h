#pragma once

#include <functional>
#include <string>

namespace Vellmar {

// The moves CommitDirectory makes; replaceable so that a failing move can be staged.
struct CommitMoves {
    // Swaps two entries in one step; false when the file system cannot (see ExchangePaths).
    std::function<bool(const std::wstring& first, const std::wstring& second)> exchange;
    // See Rename.
    std::function<void(const std::wstring& from, const std::wstring& to)> rename;
    // Removes the replaced entry, a folder tree or a file; throws on failure.
    std::function<void(const std::wstring& path)> remove;
};

CommitMoves DefaultCommitMoves();

// The replaced entry when it could not be removed: where it is and why it stayed.
struct CommitLeftover {
    std::wstring path;
    std::string error;
};

// `path` without trailing separators (backslashes count as separators); "/" stays.
std::wstring WithoutTrailingSeparators(const std::wstring& path);

// Puts the folder `newFolder` in the place of `location`, which may be missing, a folder or a
// file. An existing entry is swapped with `newFolder` in one step where the file system
// allows it, otherwise moved aside under a unique name and put back if the final move fails;
// in both cases the parent folder is synced before the old entry is removed. A failure to
// remove it does not fail the commit: it is returned.
CommitLeftover CommitDirectory(const std::wstring& location, const std::wstring& newFolder,
                               const CommitMoves& moves = DefaultCommitMoves());

} // namespace Vellmar
