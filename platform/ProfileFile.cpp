#include "platform/ProfileFile.h"

#include "platform/AtomicFile.h"
#include "support/PathResolve.h"
#include "support/Text.h"

#include <filesystem>
#include <vector>

namespace Vellmar::Platform {

namespace {

struct Line {
    std::string_view text;       // without its terminator
    std::string_view terminator; // "\n", "\r\n" or "" at the end of the file
};

std::vector<Line> SplitLines(std::string_view bytes) {
    std::vector<Line> lines;
    std::size_t start = 0;
    while (start < bytes.size()) {
        std::size_t end = bytes.find('\n', start);
        if (end == std::string_view::npos) {
            lines.push_back({bytes.substr(start), {}});
            break;
        }
        std::size_t textEnd = end;
        if (textEnd > start && bytes[textEnd - 1] == '\r')
            --textEnd;
        lines.push_back(
            {bytes.substr(start, textEnd - start), bytes.substr(textEnd, end + 1 - textEnd)});
        start = end + 1;
    }
    return lines;
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r'))
        text.remove_suffix(1);
    return text;
}

enum class Kind { Other, Section, Entry };

struct Parsed {
    Kind kind = Kind::Other;
    std::wstring name;      // section or key
    std::string_view value; // entry only, trimmed
    std::size_t equals = 0; // entry only: offset of '=' in the line
};

Parsed Classify(std::string_view line, bool first) {
    std::string_view text = line;
    if (first && text.starts_with("\xEF\xBB\xBF"))
        text.remove_prefix(3);
    const std::string_view trimmed = Trim(text);
    Parsed parsed;
    if (trimmed.starts_with('[')) {
        const std::size_t close = trimmed.find(']');
        parsed.kind = Kind::Section;
        parsed.name =
            Utf8ToWide(Trim(trimmed.substr(1, close == trimmed.npos ? close : close - 1)));
        return parsed;
    }
    const std::size_t equals = trimmed.find('=');
    if (trimmed.starts_with(';') || equals == std::string_view::npos)
        return parsed;
    parsed.kind = Kind::Entry;
    parsed.name = Utf8ToWide(Trim(trimmed.substr(0, equals)));
    parsed.value = Trim(trimmed.substr(equals + 1));
    parsed.equals = static_cast<std::size_t>(trimmed.data() - line.data()) + equals;
    return parsed;
}

std::string_view Unquote(std::string_view value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front())
        return value.substr(1, value.size() - 2);
    return value;
}

bool Unusable(std::wstring_view text, std::wstring_view forbidden) {
    return text.find_first_of(forbidden) != std::wstring_view::npos;
}

std::string NewLineOf(const std::vector<Line>& lines) {
    for (const Line& line : lines)
        if (!line.terminator.empty())
            return std::string(line.terminator);
    return "\r\n";
}

// The resolved file, or the resolved folder plus the name for a file still to be created.
std::string ResolveTarget(std::wstring_view path) {
    if (PathExists(path)) {
        std::error_code error;
        const auto real = std::filesystem::canonical(NativePath(path), error);
        return error ? NativePath(path) : real.string();
    }
    const std::wstring normalized = NormalizeSeparators(path);
    const std::size_t slash = normalized.rfind(L'/');
    if (slash == std::wstring::npos)
        return WideToUtf8(normalized);
    const std::wstring folder = slash == 0 ? L"/" : normalized.substr(0, slash);
    std::string result = NativePath(folder);
    if (result.empty() || result.back() != '/')
        result += '/';
    return result + WideToUtf8(normalized.substr(slash + 1));
}

} // namespace

ProfileFile::ProfileFile(std::wstring_view path) : nativePath(ResolveTarget(path)) {}

std::optional<std::wstring> ProfileFile::Find(std::string_view bytes, std::wstring_view section,
                                              std::wstring_view key) {
    bool inSection = false;
    bool first = true;
    for (const Line& line : SplitLines(bytes)) {
        const Parsed parsed = Classify(line.text, first);
        first = false;
        if (parsed.kind == Kind::Section) {
            if (inSection)
                return std::nullopt; // only the first section of that name counts
            inSection = EqualsIgnoreCase(parsed.name, section);
        } else if (inSection && parsed.kind == Kind::Entry && EqualsIgnoreCase(parsed.name, key)) {
            return Utf8ToWide(Unquote(parsed.value));
        }
    }
    return std::nullopt;
}

std::optional<std::string> ProfileFile::Update(std::string_view bytes, std::wstring_view section,
                                               std::wstring_view key, std::wstring_view value) {
    if (Unusable(section, L"]\r\n") || key.empty() || Unusable(key, L"=\r\n") ||
        Trim(WideToUtf8(key)).empty() || key.front() == L'[' || key.front() == L';' ||
        Unusable(value, L"\r\n"))
        return std::nullopt;
    const std::vector<Line> lines = SplitLines(bytes);
    const std::string newLine = NewLineOf(lines);
    const std::string entry = WideToUtf8(key) + "=" + WideToUtf8(value);

    std::optional<std::size_t> header;
    std::size_t insertAfter = 0;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const Parsed parsed = Classify(lines[i].text, i == 0);
        if (parsed.kind == Kind::Section) {
            if (header)
                break;
            if (EqualsIgnoreCase(parsed.name, section))
                header = insertAfter = i;
            continue;
        }
        if (!header)
            continue;
        if (parsed.kind == Kind::Entry && EqualsIgnoreCase(parsed.name, key)) {
            const std::size_t begin = static_cast<std::size_t>(lines[i].text.data() - bytes.data());
            std::string out(bytes.substr(0, begin));
            out += lines[i].text.substr(0, parsed.equals + 1);
            out += WideToUtf8(value);
            out += bytes.substr(begin + lines[i].text.size());
            return out;
        }
        // Blank lines and comments at a section's end belong to what follows.
        const std::string_view content = Trim(lines[i].text);
        if (!content.empty() && !content.starts_with(';'))
            insertAfter = i;
    }

    std::string out;
    if (!header) {
        out = bytes;
        if (!out.empty() && lines.back().terminator.empty())
            out += newLine;
        return out + "[" + WideToUtf8(section) + "]" + newLine + entry + newLine;
    }
    for (std::size_t i = 0; i < lines.size(); ++i) {
        out += lines[i].text;
        out += lines[i].terminator;
        if (i == insertAfter) {
            if (lines[i].terminator.empty())
                out += newLine;
            out += entry + newLine;
        }
    }
    return out;
}

std::wstring ProfileFile::GetString(std::wstring_view section, std::wstring_view key,
                                    std::wstring_view defaultValue, std::size_t bufferChars) const {
    std::wstring result(defaultValue);
    try {
        if (const auto bytes = AtomicFile::Read(nativePath))
            if (auto found = Find(*bytes, section, key))
                result = std::move(*found);
    } catch (const std::exception&) {
        // Unreadable files read as missing ones.
    }
    if (bufferChars == 0)
        return {};
    if (result.size() > bufferChars - 1)
        result.resize(bufferChars - 1);
    return result;
}

bool ProfileFile::WriteString(std::wstring_view section, std::wstring_view key,
                              std::wstring_view value) const noexcept {
    try {
        const auto bytes = AtomicFile::Read(nativePath);
        const auto updated = Update(bytes ? *bytes : std::string(), section, key, value);
        if (!updated)
            return false;
        if (bytes && *updated == *bytes)
            return true;
        AtomicFile::Replace(nativePath, *updated);
        return true;
    } catch (...) {
        return false;
    }
}

} // namespace Vellmar::Platform
