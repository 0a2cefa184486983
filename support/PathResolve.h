#pragma once

#include <string>
#include <string_view>

namespace Vellmar {

// Configurations written on Windows use '\' and ignore letter case. These answer "which file
// does this name mean": '\' and '/' both separate, the exact name wins, and otherwise each
// component is matched case-insensitively against the directory listing.

// '\' becomes '/', repeated separators collapse; nothing is looked up.
std::wstring NormalizeSeparators(std::wstring_view path);

// The existing path the name means, or the normalised name itself when nothing matches.
std::wstring ResolvePath(std::wstring_view path);

bool PathExists(std::wstring_view path);
bool IsDirectoryPath(std::wstring_view path);

// A file name with every letter folded as Windows compares names (Unicode simple case folding);
// two names are the same file name when their folded forms are equal.
std::wstring FoldFileNameCase(std::wstring_view name);

// UTF-8 form of ResolvePath, for handing to open() and libraries.
std::string NativePath(std::wstring_view path);

// UTF-8 name for something that may not exist yet (a folder or file to create, a rename
// target): the existing leading folders are matched as above, the rest is kept as written.
std::string NativeTargetPath(std::wstring_view path);

} // namespace Vellmar
