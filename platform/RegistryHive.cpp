#include "platform/RegistryHive.h"

#include "platform/Windows1252.h"
#include "support/Text.h"
#include "support/VellmarException.h"

#include <array>
#include <utility>

namespace Vellmar::Platform {

namespace {

constexpr std::string_view kHeader = "Windows Registry Editor Version 5.00";

const std::array<std::pair<std::wstring_view, std::wstring_view>, 5> kRootAbbreviations{{
    {L"hkcu", L"hkey_current_user"},
    {L"hklm", L"hkey_local_machine"},
    {L"hkcr", L"hkey_classes_root"},
    {L"hku", L"hkey_users"},
    {L"hkcc", L"hkey_current_config"},
}};

std::string_view TrimLeft(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    return text;
}

std::string_view TrimRight(std::string_view text) {
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r'))
        text.remove_suffix(1);
    return text;
}

bool IsUtf8(std::string_view bytes) {
    return WideToUtf8(Utf8ToWide(bytes)) == bytes;
}

// Exports from Windows are UTF-16LE with a byte-order mark (version 5.00) or windows-1252
// (REGEDIT4); the hive itself is UTF-8 unless it came as windows-1252.
std::string ToUtf8(std::string_view bytes, bool& windows1252) {
    windows1252 = false;
    if (bytes.starts_with("\xEF\xBB\xBF"))
        return std::string(bytes.substr(3));
    if (!bytes.starts_with("\xFF\xFE")) {
        if (IsUtf8(bytes))
            return std::string(bytes);
        windows1252 = true;
        return WideToUtf8(Windows1252ToWide(bytes));
    }
    std::wstring wide;
    for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
        std::uint32_t unit =
            static_cast<unsigned char>(bytes[i]) | (static_cast<unsigned char>(bytes[i + 1]) << 8);
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 3 < bytes.size()) {
            const std::uint32_t low = static_cast<unsigned char>(bytes[i + 2]) |
                                      (static_cast<unsigned char>(bytes[i + 3]) << 8);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                unit = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
                i += 2;
            }
        }
        wide += static_cast<wchar_t>(unit);
    }
    return WideToUtf8(wide);
}

// Only a hex value continues onto the next line (after a trailing backslash).
bool Continues(std::string_view line) {
    return line.ends_with('\\') && line.find("=hex") != std::string_view::npos &&
           !TrimLeft(line).starts_with('[');
}

// A continuation that nothing continues loses every trailing backslash: one left behind would
// join the line to whatever is written after it.
// `text` may span several physical lines: one that the dropped backslashes leave empty goes too.
std::string WithoutDanglingBackslashes(std::string_view text) {
    text = TrimRight(text);
    while (!text.empty() && (text.back() == '\\' || text.back() == '\n'))
        text = TrimRight(text.substr(0, text.size() - 1));
    return std::string(text);
}

// Splits into logical lines, joining continued hex values. A continuation never swallows a
// blank line or a key; then its dangling backslashes are dropped so the text reads back the same.
std::vector<std::string> LogicalLines(const std::string& text, std::vector<std::string>& sources) {
    std::vector<std::string> lines;
    bool continuing = false;
    const auto endContinuation = [&] {
        if (continuing) {
            sources.back() = WithoutDanglingBackslashes(sources.back());
            lines.back() = WithoutDanglingBackslashes(lines.back());
        }
        continuing = false;
    };
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        const std::string_view line = TrimRight(std::string_view(text).substr(start, end - start));
        const std::string_view next = TrimLeft(line);
        if (continuing && !next.empty() && !next.starts_with('[')) {
            lines.back() += next;
            sources.back() += '\n';
            sources.back() += line;
        } else {
            endContinuation();
            lines.emplace_back(line);
            sources.emplace_back(line);
        }
        continuing = Continues(lines.back());
        if (continuing)
            lines.back().pop_back();
        start = end + 1;
    }
    endContinuation();
    return lines;
}

bool IsHeader(std::string_view line) {
    return line == kHeader || line == "REGEDIT4";
}

} // namespace

std::wstring NormalizeRegistryPath(std::wstring_view keyPath) {
    std::wstring out;
    std::size_t start = 0;
    while (start <= keyPath.size()) {
        std::size_t end = keyPath.find(L'\\', start);
        if (end == std::wstring_view::npos)
            end = keyPath.size();
        if (end > start) {
            std::wstring part = ToLower(keyPath.substr(start, end - start));
            if (out.empty())
                for (const auto& [shortName, longName] : kRootAbbreviations)
                    if (part == shortName)
                        part = longName;
            if (!out.empty())
                out += L'\\';
            out += part;
        }
        start = end + 1;
    }
    return out;
}

RegistryHive RegistryHive::Parse(std::string_view bytes) {
    RegistryHive hive;
    std::vector<std::string> sources;
    const std::vector<std::string> lines = LogicalLines(ToUtf8(bytes, hive.windows1252), sources);
    Key* current = nullptr;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string_view line = TrimLeft(lines[i]);
        if (line.empty())
            continue;
        if (hive.header.empty() && hive.keys.empty() && IsHeader(line)) {
            hive.header = sources[i];
            continue;
        }
        if (!line.starts_with('[') && hive.keys.empty())
            hive.preamble.push_back(sources[i]);
        else
            hive.ParseLine(line, sources[i], current);
    }
    return hive;
}

void RegistryHive::ParseLine(std::string_view line, const std::string& source, Key*& current) {
    if (line.starts_with('[')) {
        const std::size_t close = line.rfind(']');
        if (close == std::string_view::npos || close < 2) {
            current = nullptr;
            return;
        }
        if (line[1] == '-') {
            DeleteKeyTree(NormalizeRegistryPath(Utf8ToWide(line.substr(2, close - 2))));
            current = nullptr;
            return;
        }
        const std::wstring path = Utf8ToWide(line.substr(1, close - 1));
        current = FindKey(NormalizeRegistryPath(path));
        if (!current)
            current = &AddKey(path);
        return;
    }
    if (!current)
        return; // regedit ignores values after a deleted or malformed key
    Entry entry;
    entry.source = source;
    const std::size_t used = line.starts_with('@') ? 1 : UnquoteRegString(line, entry.name);
    std::string_view rest = used ? TrimLeft(line.substr(used)) : std::string_view();
    if (used && rest.starts_with('=')) {
        rest = TrimLeft(rest.substr(1));
        if (rest == "-") {
            std::erase_if(current->entries, [&](const Entry& e) {
                return e.isValue && EqualsIgnoreCase(e.name, entry.name);
            });
            return;
        }
        if (auto value = RegistryValue::Parse(rest)) {
            entry.isValue = true;
            entry.value = std::move(*value);
        }
    }
    Assign(*current, std::move(entry));
}

void RegistryHive::Assign(Key& key, Entry entry) {
    if (entry.isValue) {
        for (Entry& existing : key.entries) {
            if (existing.isValue && EqualsIgnoreCase(existing.name, entry.name)) {
                existing.value = std::move(entry.value);
                existing.source = std::move(entry.source);
                return;
            }
        }
    }
    key.entries.push_back(std::move(entry));
}

std::string RegistryHive::Serialize() const {
    std::string out(header.empty() ? kHeader : header);
    out += '\n';
    for (const std::string& line : preamble)
        out += line + '\n';
    for (const Key& key : keys) {
        out += "\n[" + WideToUtf8(key.path) + "]\n";
        for (const Entry& entry : key.entries) {
            if (!entry.source.empty()) {
                out += entry.source + '\n';
                continue;
            }
            out += entry.name.empty() ? std::string("@") : QuoteRegString(entry.name);
            out += '=' + entry.value.Format() + '\n';
        }
    }
    // A windows-1252 hive stays one, so that every unchanged line keeps its bytes; text that
    // code page cannot hold turns the whole file into UTF-8 rather than lose it.
    if (windows1252)
        if (auto legacy = WideToWindows1252(Utf8ToWide(out)))
            return *legacy;
    return out;
}

const RegistryHive::Key* RegistryHive::FindKey(std::wstring_view normalized) const {
    for (const Key& key : keys)
        if (key.normalized == normalized)
            return &key;
    return nullptr;
}

RegistryHive::Key* RegistryHive::FindKey(std::wstring_view normalized) {
    return const_cast<Key*>(std::as_const(*this).FindKey(normalized));
}

RegistryHive::Key& RegistryHive::AddKey(std::wstring_view path) {
    Key key;
    key.path = path;
    key.normalized = NormalizeRegistryPath(path);
    keys.push_back(std::move(key));
    return keys.back();
}

void RegistryHive::DeleteKeyTree(std::wstring_view normalized) {
    if (normalized.empty())
        return;
    std::erase_if(keys, [&](const Key& key) {
        return key.normalized == normalized || (key.normalized.size() > normalized.size() &&
                                                key.normalized.starts_with(normalized) &&
                                                key.normalized[normalized.size()] == L'\\');
    });
}

const RegistryValue* RegistryHive::Find(std::wstring_view keyPath, std::wstring_view name) const {
    const std::wstring wanted = name == L"@" ? std::wstring() : std::wstring(name);
    const Key* key = FindKey(NormalizeRegistryPath(keyPath));
    if (!key)
        return nullptr;
    for (const Entry& entry : key->entries)
        if (entry.isValue && EqualsIgnoreCase(entry.name, wanted))
            return &entry.value;
    return nullptr;
}

void RegistryHive::Set(std::wstring_view keyPath, std::wstring_view name, RegistryValue value) {
    // A .reg line has no escape for these; writing them would forge or break lines.
    if (keyPath.find_first_of(L"\r\n") != std::wstring_view::npos ||
        NormalizeRegistryPath(keyPath).empty())
        throw ArgumentException("keyPath", "unusable registry key path");
    if (name.find_first_of(L"\r\n") != std::wstring_view::npos)
        throw ArgumentException("name", "unusable registry value name");
    Key* key = FindKey(NormalizeRegistryPath(keyPath));
    if (!key) {
        std::wstring path;
        for (wchar_t c : keyPath)
            if (c != L'\\' || (!path.empty() && path.back() != L'\\'))
                path += c;
        while (!path.empty() && path.back() == L'\\')
            path.pop_back();
        key = &AddKey(path);
    }
    const std::wstring wanted = name == L"@" ? std::wstring() : std::wstring(name);
    for (Entry& entry : key->entries) {
        if (entry.isValue && EqualsIgnoreCase(entry.name, wanted)) {
            entry.value = std::move(value);
            entry.source.clear();
            return;
        }
    }
    Entry entry;
    entry.isValue = true;
    entry.name = wanted;
    entry.value = std::move(value);
    key->entries.push_back(std::move(entry));
}

} // namespace Vellmar::Platform
