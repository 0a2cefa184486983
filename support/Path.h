#pragma once

#include <string>
#include <string_view>

namespace Vellmar {

// Path text for configurations written on Windows: '\' and '/' both separate on input, results
// use '/'. Failures throw through ThrowLastWin32Error with the context named below.

// `more` joined below `base` (a leading separator of `more` does not make it absolute), then
// canonicalised. "Append failed" when the result is too long.
std::wstring Append(std::wstring_view base, std::wstring_view more);

// "." and ".." parts resolved by text alone; ".." above "/" stays at "/", leading ".." of a
// relative path are kept. "Canonicalize failed" when too long.
std::wstring Canonicalize(std::wstring_view path);

// Drops the last element ("/a/b" -> "/a", "/a" -> "/", "a/b/" -> "a/b", "a" -> "").
// "RemoveFileSpec failed" when there is nothing to drop ("/" or "").
std::wstring RemoveFileSpec(std::wstring_view path);

// $TMPDIR, else /tmp, always ending in '/'.
std::wstring GetTemporaryDirectory();

// Moves a file or folder; never replaces an existing `to`. Files also move across file systems.
// "Rename failed".
void Rename(const std::wstring& from, const std::wstring& to);

// Swaps two existing entries in one step. False when the file system cannot do that (nothing
// has changed then); "Rename failed" on other errors.
bool ExchangePaths(const std::wstring& first, const std::wstring& second);

bool IsDotOrDotDot(std::wstring_view name);

// The running executable as /proc/self/exe names it; "" when that cannot be read.
std::wstring ExecutablePath();

// Longest accepted path in bytes or characters.
constexpr std::size_t kMaxPath = 4096;

namespace Native {

// UTF-8 forms used once a path has been resolved.
std::string Join(const std::string& folder, const std::string& name);
// False when there is nothing to drop; otherwise `parent` as RemoveFileSpec gives it.
bool Parent(const std::string& path, std::string& parent);

} // namespace Native

} // namespace Vellmar
