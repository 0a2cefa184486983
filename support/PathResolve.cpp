#include "support/PathResolve.h"

#include "support/Text.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unicode/uchar.h>
#include <unicode/utf8.h>

#include <cstdint>
#include <memory>
#include <vector>

namespace Vellmar {

namespace {

bool Exists(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0;
}

// Windows matches names ignoring case for every letter: Unicode simple case folding, from
// ICU's tables. Bytes that are not UTF-8 only match themselves.
bool SameNameIgnoringCase(std::string_view a, std::string_view b) {
    const auto* left = reinterpret_cast<const std::uint8_t*>(a.data());
    const auto* right = reinterpret_cast<const std::uint8_t*>(b.data());
    const auto leftLength = static_cast<std::int32_t>(a.size());
    const auto rightLength = static_cast<std::int32_t>(b.size());
    std::int32_t i = 0;
    std::int32_t j = 0;
    while (i < leftLength && j < rightLength) {
        const std::int32_t leftStart = i;
        const std::int32_t rightStart = j;
        UChar32 x = 0;
        UChar32 y = 0;
        U8_NEXT(left, i, leftLength, x);
        U8_NEXT(right, j, rightLength, y);
        if (x < 0 || y < 0) {
            if (a.substr(leftStart, i - leftStart) != b.substr(rightStart, j - rightStart))
                return false;
        } else if (u_foldCase(x, U_FOLD_CASE_DEFAULT) != u_foldCase(y, U_FOLD_CASE_DEFAULT)) {
            return false;
        }
    }
    return i == leftLength && j == rightLength;
}

// The entry of `directory` whose name equals `name` ignoring case, or "" when there is none.
std::string FindIgnoringCase(const std::string& directory, const std::string& name) {
    std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(directory.empty() ? "." : directory.c_str()),
                                            &::closedir);
    if (!dir)
        return {};
    while (const dirent* entry = ::readdir(dir.get())) {
        if (SameNameIgnoringCase(entry->d_name, name))
            return entry->d_name;
    }
    return {};
}

std::vector<std::string> SplitComponents(const std::string& path) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start <= path.size()) {
        const std::size_t slash = path.find('/', start);
        const std::size_t end = slash == std::string::npos ? path.size() : slash;
        if (end > start)
            parts.push_back(path.substr(start, end - start));
        if (slash == std::string::npos)
            break;
        start = slash + 1;
    }
    return parts;
}

// With `keepPrefix`, the components up to the first one that matches nothing are still
// resolved, for names of things about to be created.
std::string ResolveUtf8(const std::string& normalized, bool keepPrefix = false) {
    if (normalized.empty() || Exists(normalized))
        return normalized;
    const bool absolute = normalized.front() == '/';
    std::string resolved = absolute ? "/" : "";
    bool matching = true;
    for (const std::string& part : SplitComponents(normalized)) {
        std::string candidate = resolved + part;
        if (matching && part != "." && part != ".." && !Exists(candidate)) {
            const std::string found = FindIgnoringCase(resolved, part);
            if (found.empty())
                matching = false;
            else
                candidate = resolved + found;
        }
        resolved = candidate + "/";
    }
    if (!matching && !keepPrefix)
        return normalized;
    resolved.pop_back();
    if (normalized.back() == '/' && resolved != "")
        resolved += '/';
    return resolved;
}

} // namespace

std::wstring FoldFileNameCase(std::wstring_view name) {
    std::wstring folded(name);
    for (wchar_t& c : folded)
        c = static_cast<wchar_t>(u_foldCase(static_cast<UChar32>(c), U_FOLD_CASE_DEFAULT));
    return folded;
}

std::wstring NormalizeSeparators(std::wstring_view path) {
    std::wstring out;
    out.reserve(path.size());
    for (wchar_t c : path) {
        if (c == L'\\')
            c = L'/';
        if (c == L'/' && !out.empty() && out.back() == L'/')
            continue;
        out += c;
    }
    return out;
}

std::string NativePath(std::wstring_view path) {
    return ResolveUtf8(WideToUtf8(NormalizeSeparators(path)));
}

std::string NativeTargetPath(std::wstring_view path) {
    return ResolveUtf8(WideToUtf8(NormalizeSeparators(path)), true);
}

std::wstring ResolvePath(std::wstring_view path) {
    return Utf8ToWide(NativePath(path));
}

bool PathExists(std::wstring_view path) {
    const std::string native = NativePath(path);
    return !native.empty() && Exists(native);
}

bool IsDirectoryPath(std::wstring_view path) {
    struct stat info {};
    const std::string native = NativePath(path);
    return !native.empty() && ::stat(native.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

} // namespace Vellmar
