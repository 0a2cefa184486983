#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace LTF::IO {

// One directory entry, with Windows-style attribute bits.
struct FindData {
    static constexpr unsigned kReadOnly = 0x01;
    static constexpr unsigned kSubdirectory = 0x10;
    // A symbolic link; the other bits describe its target (none when it dangles).
    static constexpr unsigned kLink = 0x400;

    unsigned attrib = 0;
    std::int64_t timeCreate = 0;
    std::int64_t timeAccess = 0;
    std::int64_t timeWrite = 0;
    std::int64_t size = 0;
    std::wstring name;
    // The name as stored on disk, for building paths that must survive non-UTF-8 names.
    std::string nativeName;
    // A link whose target does not exist.
    bool targetMissing = false;

    bool isDirectory() const { return (attrib & kSubdirectory) != 0; }
    bool isReadOnly() const { return (attrib & kReadOnly) != 0; }
    bool isLink() const { return (attrib & kLink) != 0; }
};

// Windows wildcard matching, ignoring case: '*' any run, '?' one character (or none before a
// '.' or at the end), a '.' before a wildcard or at the end also matches the end of the name,
// and "*." matches names without extension.
bool MatchesPattern(std::wstring_view name, std::wstring_view pattern);

// A directory search such as Find(Append(folder, L"*")). The held entry is the current one;
// next() fetches the following one. "." and ".." are among the entries. A folder that does
// not exist gives an empty range.
class Find {
public:
    explicit Find(const std::wstring& fileSpec);
    // `nativeDirectory` is already resolved (UTF-8, as on disk).
    Find(std::string nativeDirectory, std::wstring pattern);
    Find(const Find&) = delete;
    Find& operator=(const Find&) = delete;
    ~Find();

    bool empty() const { return !directory; }
    const FindData& current() const { return entry; }
    // Throws IOException when the range has ended already.
    void next();
    const std::string& nativeDirectory() const { return folder; }

    struct End {};
    class Iterator {
    public:
        explicit Iterator(Find& search) : search(&search) {}
        const FindData& operator*() const { return search->current(); }
        const FindData* operator->() const { return &search->current(); }
        Iterator& operator++() {
            search->next();
            return *this;
        }
        bool operator==(End) const { return search->empty(); }

    private:
        Find* search;
    };
    Iterator begin() { return Iterator(*this); }
    End end() const { return {}; }

private:
    void open();
    void advance();
    bool describe(const char* nativeName);

    struct DirCloser {
        void operator()(void* handle) const;
    };

    std::string folder;
    std::wstring pattern;
    std::unique_ptr<void, DirCloser> directory;
    FindData entry;
};

} // namespace LTF::IO
