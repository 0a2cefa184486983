#include "support/Path.h"

#include "support/PathResolve.h"
#include "support/Text.h"
#include "support/VellmarException.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <vector>

namespace Vellmar {

namespace {

std::wstring CanonicalForm(const std::wstring& normalized) {
    if (normalized.empty())
        return {};
    const bool absolute = normalized.front() == L'/';
    const bool trailing = normalized.size() > 1 && normalized.back() == L'/';
    std::vector<std::wstring> parts;
    std::size_t start = 0;
    while (start <= normalized.size()) {
        std::size_t slash = normalized.find(L'/', start);
        if (slash == std::wstring::npos)
            slash = normalized.size();
        const std::wstring part = normalized.substr(start, slash - start);
        start = slash + 1;
        if (part.empty() || part == L".")
            continue;
        if (part != L"..")
            parts.push_back(part);
        else if (!parts.empty() && parts.back() != L"..")
            parts.pop_back();
        else if (!absolute)
            parts.push_back(part);
    }
    std::wstring out = absolute ? L"/" : L"";
    for (std::size_t i = 0; i < parts.size(); ++i)
        out += (i ? L"/" : L"") + parts[i];
    if (out.empty())
        return L".";
    if (trailing && out != L"/")
        out += L'/';
    return out;
}

std::wstring CheckedLength(std::wstring path, const char* context) {
    if (path.size() >= kMaxPath)
        ThrowLastWin32Error(context, ENAMETOOLONG, {});
    return path;
}

bool Exists(const std::string& native) {
    struct stat info {};
    return ::lstat(native.c_str(), &info) == 0;
}

bool IsRegularFile(const std::string& native) {
    struct stat info {};
    return ::lstat(native.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

// Renaming without replacing, also where the file system lacks RENAME_NOREPLACE.
int RenameNoReplace(const std::string& from, const std::string& to) {
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS)
        return -1;
    if (Exists(to)) {
        errno = EEXIST;
        return -1;
    }
    return std::rename(from.c_str(), to.c_str());
}

// A file moved to another file system is copied and the original removed, as the Windows move
// does; folders are not.
int MoveAcrossFileSystems(const std::string& from, const std::string& to) {
    std::error_code error;
    if (!std::filesystem::copy_file(from, to, std::filesystem::copy_options::none, error)) {
        if (error.value() != EEXIST)
            std::filesystem::remove(to, error);
        errno = error ? error.value() : EIO;
        return -1;
    }
    if (::unlink(from.c_str()) != 0) {
        const int saved = errno;
        ::unlink(to.c_str());
        errno = saved;
        return -1;
    }
    return 0;
}

[[noreturn]] void ThrowRenameFailed(int error, const std::string& from, const std::string& to) {
    // A missing source decides "file not found"; otherwise the target's folder is at fault.
    const std::string& blamed = Exists(from) ? to : from;
    ThrowLastWin32Error("Rename failed", error, Utf8ToWide(blamed));
}

} // namespace

std::wstring Append(std::wstring_view base, std::wstring_view more) {
    std::wstring joined = NormalizeSeparators(base);
    std::wstring tail = NormalizeSeparators(more);
    if (!tail.empty() && tail.front() == L'/')
        tail.erase(0, 1);
    if (!joined.empty() && !tail.empty() && joined.back() != L'/')
        joined += L'/';
    joined += tail;
    return CheckedLength(CanonicalForm(joined), "Append failed");
}

std::wstring Canonicalize(std::wstring_view path) {
    return CheckedLength(CanonicalForm(NormalizeSeparators(path)), "Canonicalize failed");
}

std::wstring RemoveFileSpec(std::wstring_view path) {
    std::string parent;
    if (!Native::Parent(WideToUtf8(NormalizeSeparators(path)), parent))
        ThrowLastWin32Error("RemoveFileSpec failed", EINVAL, {});
    return Utf8ToWide(parent);
}

std::wstring GetTemporaryDirectory() {
    const char* fromEnvironment = std::getenv("TMPDIR");
    std::wstring folder = fromEnvironment && *fromEnvironment
                              ? NormalizeSeparators(Utf8ToWide(fromEnvironment))
                              : std::wstring(L"/tmp");
    if (folder.back() != L'/')
        folder += L'/';
    return CheckedLength(folder, "GetTemporaryDirectory failed");
}

void Rename(const std::wstring& from, const std::wstring& to) {
    const std::string source = NativePath(from);
    const std::string target = NativeTargetPath(to);
    if (RenameNoReplace(source, target) == 0)
        return;
    int error = errno;
    if (error == EXDEV && IsRegularFile(source)) {
        if (MoveAcrossFileSystems(source, target) == 0)
            return;
        error = errno;
    }
    ThrowRenameFailed(error, source, target);
}

bool ExchangePaths(const std::wstring& first, const std::wstring& second) {
    const std::string a = NativePath(first);
    const std::string b = NativePath(second);
    if (::renameat2(AT_FDCWD, a.c_str(), AT_FDCWD, b.c_str(), RENAME_EXCHANGE) == 0)
        return true;
    const int error = errno;
    if (error == EINVAL || error == ENOSYS)
        return false;
    ThrowRenameFailed(error, a, b);
}

bool IsDotOrDotDot(std::wstring_view name) {
    return name == L"." || name == L"..";
}

std::wstring ExecutablePath() {
    std::vector<char> buffer(kMaxPath + 1);
    const ssize_t length = ::readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
    if (length <= 0)
        return {};
    return Utf8ToWide(std::string_view(buffer.data(), static_cast<std::size_t>(length)));
}

namespace Native {

std::string Join(const std::string& folder, const std::string& name) {
    if (folder.empty())
        return name;
    return folder.back() == '/' ? folder + name : folder + "/" + name;
}

bool Parent(const std::string& path, std::string& parent) {
    if (path.empty() || path == "/")
        return false;
    if (path.back() == '/') {
        parent = path.substr(0, path.size() - 1);
        return true;
    }
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        parent.clear();
    else
        parent = path.substr(0, slash == 0 ? 1 : slash);
    return true;
}

} // namespace Native

} // namespace Vellmar
