#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace Vellmar::Platform {

// An INI file read and written the way the Windows profile functions do: section and key
// names ignore letter case, the first match wins, values are trimmed (and lose one pair of
// enclosing quotes), and a write changes only the one line it must, keeping every other byte
// and the file's line endings. Files are UTF-8 (a byte-order mark is kept).
class ProfileFile {
public:
    // `path` may be written Windows-style; it is resolved ignoring case.
    explicit ProfileFile(std::wstring_view path);

    // The entry's text, else `defaultValue`; cut to `bufferChars` - 1 characters like a
    // caller's buffer. A missing or unreadable file gives the default.
    std::wstring GetString(std::wstring_view section, std::wstring_view key,
                           std::wstring_view defaultValue = {},
                           std::size_t bufferChars = 1024) const;

    // Creates the file and the section as needed and replaces the file atomically. Returns
    // false when nothing could be written, including names or values that would break the
    // line structure (line breaks, '=' in a key, ']' in a section).
    bool WriteString(std::wstring_view section, std::wstring_view key,
                     std::wstring_view value) const noexcept;

    // The parsing and editing underneath, on the file's bytes.
    static std::optional<std::wstring> Find(std::string_view bytes, std::wstring_view section,
                                            std::wstring_view key);
    static std::optional<std::string> Update(std::string_view bytes, std::wstring_view section,
                                             std::wstring_view key, std::wstring_view value);

    const std::string& NativeFilePath() const { return nativePath; }

private:
    std::string nativePath;
};

} // namespace Vellmar::Platform
