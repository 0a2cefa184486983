#pragma once

#include <cstddef>
#include <map>
#include <optional>
#include <shared_mutex>
#include <string>
#include <string_view>

namespace LTF::Xml {
class XmlNode;
}

// Named strings per language code, with look-up falling back from the selected language to
// "en". Variables are keys of the same tables; Expand replaces each "${name}" by LookUp(name).
//
// Threads: every const operation may run on any number of threads at once, and concurrently
// with writers (news workers expand while the user interface changes variables or the
// language); a reader-writer lock makes each call see the tables before or after a write.
//
// Expansion always ends: "${}" stays as written, look-ups nest at most kMaxLookUpDepth deep
// (deeper references stay as written, so a self-referring variable ends up unexpanded inside
// its own text), one expansion makes at most kMaxLookUps look-ups and inserts at most
// kMaxInsertedChars characters; past those limits the remaining references stay unchanged.
class StringTable {
public:
    static constexpr int kMaxLookUpDepth = 8;
    static constexpr std::size_t kMaxLookUps = 10000;
    static constexpr std::size_t kMaxInsertedChars = std::size_t(1) << 20;

    StringTable();
    StringTable(const StringTable&) = delete;
    StringTable& operator=(const StringTable&) = delete;

    // Reads a languagetable or strings element; any other node, or null, is ignored.
    void Load(const LTF::Xml::XmlNode* node);
    // Parses the text and loads its document element; parse errors propagate.
    void LoadFromString(const std::wstring& xmlText);
    void Clear();
    // An empty code selects the default language.
    void SetLanguage(const std::wstring& code);
    std::wstring GetSelectedLanguage() const;
    std::wstring GetDefaultLanguage() const;

    std::wstring LookUp(const std::wstring& key) const;
    // Whether any language's table holds the key (built-in variables included).
    bool Defines(const std::wstring& key) const;
    std::wstring Expand(const std::wstring& text) const;
    // As Expand, with every "&" of an inserted value written "&amp;".
    std::wstring ExpandForXml(const std::wstring& text) const;

    // Into the selected (SetVariable) or default (SetBuiltInVariable) language's table, when
    // that table exists.
    void SetVariable(const std::wstring& name, const std::wstring& value);
    void SetBuiltInVariable(const std::wstring& name, const std::wstring& value);
    // The 49 CSIDL_ shell-folder variables, as built-in variables.
    void AddShellFolders();

    static std::wstring GameLanguage(const std::optional<std::wstring>& directory = std::nullopt);
    static std::wstring SystemLanguage();

private:
    using Table = std::map<std::wstring, std::wstring, std::less<>>;
    struct Budget {
        std::size_t lookUps = kMaxLookUps;
        std::size_t inserted = kMaxInsertedChars;
    };

    void LoadStrings(const LTF::Xml::XmlNode& strings);
    void UpdateSelectedLanguageVariable();
    const std::wstring* Find(const std::wstring& language, std::wstring_view key) const;
    std::wstring_view RawValue(std::wstring_view key) const;
    std::wstring ExpandLocked(std::wstring_view text, bool forXml, int depth, Budget& budget) const;

    mutable std::shared_mutex mutex;
    std::map<std::wstring, Table> tables;
    const std::wstring defaultLanguage = L"en";
    std::wstring selectedLanguage = L"en";
};
