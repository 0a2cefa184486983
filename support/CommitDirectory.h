#pragma once

#include <functional>
#include <string>

namespace Vellmar {

// The two moves CommitDirectory makes; replaceable so that a failing move can be staged.
struct CommitMoves {
    // Swaps two entries in one step; false when the file system cannot (see ExchangePaths).
    std::function<bool(const std::wstring& first, const std::wstring& second)> exchange;
    // See Rename.
    std::function<void(const std::wstring& from, const std::wstring& to)> rename;
};

CommitMoves DefaultCommitMoves();

// Puts the folder `newFolder` in the place of `location`. An existing `location` is swapped
// with `newFolder` in one step where the file system allows it, otherwise moved aside under a
// unique name and put back if the final move fails; in both cases the parent folder is synced
// before the old folder is deleted. Failures to delete the old folder are ignored.
void CommitDirectory(const std::wstring& location, const std::wstring& newFolder,
                     const CommitMoves& moves = DefaultCommitMoves());

} // namespace Vellmar
