#pragma once

#include "platform/RegistryValue.h"

#include <string>
#include <string_view>
#include <vector>

namespace Vellmar::Platform {

// The content of one .reg-syntax hive file. Parsing follows import semantics: a later
// assignment wins, `[-key]` and `"name"=-` delete, repeated key sections merge. Lines that are
// not understood (comments, unknown syntax) stay where they were when the hive is written back;
// values that are not changed keep their original spelling. A file that is not UTF-8 is read as
// windows-1252 (REGEDIT4 exports) and written back in it.
class RegistryHive {
public:
    static RegistryHive Parse(std::string_view bytes);
    std::string Serialize() const;

    // `keyPath` starts with its root ("HKEY_CURRENT_USER\\Software\\X"; HKCU and HKLM are
    // accepted); key and value names compare ignoring case. "" or "@" is the default value.
    const RegistryValue* Find(std::wstring_view keyPath, std::wstring_view name) const;
    void Set(std::wstring_view keyPath, std::wstring_view name, RegistryValue value);
    std::size_t KeyCount() const { return keys.size(); }

private:
    struct Entry {
        bool isValue = false;
        std::wstring name;
        RegistryValue value;
        std::string source; // original line(s); empty once the value is changed
    };
    struct Key {
        std::wstring path;
        std::wstring normalized;
        std::vector<Entry> entries;
    };

    Key* FindKey(std::wstring_view normalized);
    const Key* FindKey(std::wstring_view normalized) const;
    Key& AddKey(std::wstring_view path);
    void DeleteKeyTree(std::wstring_view normalized);
    static void Assign(Key& key, Entry entry);
    void ParseLine(std::string_view line, const std::string& source, Key*& current);

    std::string header; // as read; empty: none was
    bool windows1252 = false;
    std::vector<std::string> preamble;
    std::vector<Key> keys;
};

// The comparison form of a key path: root spelled out, empty components dropped, lower case.
std::wstring NormalizeRegistryPath(std::wstring_view keyPath);

} // namespace Vellmar::Platform
