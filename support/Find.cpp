#include "support/Find.h"

#include "support/PathResolve.h"
#include "support/Text.h"
#include "support/VellmarException.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <vector>

namespace LTF::IO {

namespace {

// Follows the rules of the Windows file-name expression matcher after its wildcard rewriting.
class PatternMatcher {
public:
    PatternMatcher(std::wstring_view name, std::wstring_view pattern)
        : name(Vellmar::FoldFileNameCase(name)), pattern(Vellmar::FoldFileNameCase(pattern)),
          lastDot(this->name.rfind(L'.')),
          memo((this->name.size() + 1) * (this->pattern.size() + 1), kUnknown) {}

    bool Matches() { return At(0, 0); }

private:
    static constexpr char kUnknown = 2;

    bool NameEnds(std::size_t n) const { return n == name.size(); }
    bool NextIsWildcardOrEnd(std::size_t p) const {
        return p + 1 == pattern.size() || pattern[p + 1] == L'*' || pattern[p + 1] == L'?';
    }

    bool At(std::size_t n, std::size_t p) {
        char& known = memo[n * (pattern.size() + 1) + p];
        if (known == kUnknown)
            known = Compute(n, p) ? 1 : 0;
        return known == 1;
    }

    bool Compute(std::size_t n, std::size_t p) {
        if (p == pattern.size())
            return NameEnds(n);
        switch (pattern[p]) {
        case L'*': {
            // Before a '.', the star stops short of the name's last dot.
            const bool dosStar = p + 1 < pattern.size() && pattern[p + 1] == L'.';
            if (At(n, p + 1))
                return true;
            return !NameEnds(n) && !(dosStar && n == lastDot) && At(n + 1, p);
        }
        case L'?':
            if (NameEnds(n) || name[n] == L'.')
                return At(n, p + 1);
            return At(n + 1, p + 1);
        case L'.':
            if (NextIsWildcardOrEnd(p) && NameEnds(n))
                return At(n, p + 1);
            [[fallthrough]];
        default:
            return !NameEnds(n) && name[n] == pattern[p] && At(n + 1, p + 1);
        }
    }

    std::wstring name;
    std::wstring pattern;
    std::size_t lastDot;
    std::vector<char> memo;
};

[[noreturn]] void ThrowInvalidSpec() {
    throw Vellmar::ArgumentException("fileSpec", "IO find failed: fileSpec was invalid.");
}

unsigned Attributes(const struct stat& own, const struct stat* target) {
    const struct stat& described = target ? *target : own;
    unsigned attrib = 0;
    if (S_ISLNK(own.st_mode))
        attrib |= FindData::kLink;
    if (S_ISLNK(own.st_mode) && !target)
        return attrib;
    if (S_ISDIR(described.st_mode))
        attrib |= FindData::kSubdirectory;
    if ((described.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
        attrib |= FindData::kReadOnly;
    return attrib;
}

} // namespace

bool MatchesPattern(std::wstring_view name, std::wstring_view pattern) {
    return PatternMatcher(name, pattern).Matches();
}

void Find::DirCloser::operator()(void* handle) const {
    ::closedir(static_cast<DIR*>(handle));
}

Find::Find(const std::wstring& fileSpec) {
    const std::wstring normalized = Vellmar::NormalizeSeparators(fileSpec);
    const std::size_t slash = normalized.rfind(L'/');
    if (slash == std::wstring::npos) {
        folder.assign(1, '.'); // not = ".": GCC 12 warns wrongly about that at -O3
        pattern = normalized;
    } else {
        folder = Vellmar::NativePath(normalized.substr(0, slash == 0 ? 1 : slash));
        pattern = normalized.substr(slash + 1);
    }
    open();
}

Find::Find(std::string nativeDirectory, std::wstring pattern)
    : folder(std::move(nativeDirectory)), pattern(std::move(pattern)) {
    open();
}

Find::~Find() = default;

void Find::open() {
    if (pattern.empty() || pattern.find(L'\0') != std::wstring::npos)
        ThrowInvalidSpec();
    directory.reset(::opendir(folder.c_str()));
    if (!directory) {
        if (errno == ENOENT || errno == ENOTDIR)
            return;
        if (errno == EINVAL)
            ThrowInvalidSpec();
        Vellmar::ThrowCRuntimeError("LTF::IO::Find");
    }
    advance();
}

void Find::next() {
    if (!directory)
        throw Vellmar::IOException("IO find failed: No more matches.");
    advance();
}

void Find::advance() {
    for (;;) {
        errno = 0;
        const dirent* found = ::readdir(static_cast<DIR*>(directory.get()));
        if (found == nullptr) {
            if (errno != 0)
                Vellmar::ThrowCRuntimeError("LTF::IO::Find");
            directory.reset();
            return;
        }
        const std::wstring wide = Vellmar::Utf8ToWide(found->d_name);
        if (MatchesPattern(wide, pattern) && describe(found->d_name)) {
            entry.name = wide;
            return;
        }
    }
}

// False when the entry vanished between listing and inspection.
bool Find::describe(const char* nativeName) {
    const int fd = ::dirfd(static_cast<DIR*>(directory.get()));
    struct stat own {};
    if (::fstatat(fd, nativeName, &own, AT_SYMLINK_NOFOLLOW) != 0)
        return false;
    struct stat target {};
    const bool followed = S_ISLNK(own.st_mode) && ::fstatat(fd, nativeName, &target, 0) == 0;
    entry.attrib = Attributes(own, followed ? &target : nullptr);
    entry.targetMissing = S_ISLNK(own.st_mode) && !followed;
    entry.timeCreate = own.st_ctime;
    entry.timeAccess = own.st_atime;
    entry.timeWrite = own.st_mtime;
    entry.size = own.st_size;
    entry.nativeName = nativeName;
    return true;
}

} // namespace LTF::IO
