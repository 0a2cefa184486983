#include "config/StringTable.h"

#include "config/LanguageSelection.h"
#include "ltf/xml/XmlDocument.h"
#include "ltf/xml/XmlNode.h"
#include "ltf/xml/XmlNodeList.h"
#include "ltf/xml/XmlParser.h"
#include "platform/ShellFolders.h"

#include <memory>
#include <mutex>

namespace {

constexpr std::wstring_view kStart = L"${";
constexpr wchar_t kEnd = L'}';
const std::wstring kSelectedLanguageVariable = L"SELECTED_LANGUAGE";

std::wstring EscapeAmpersands(std::wstring value) {
    for (std::size_t at = value.find(L'&'); at != std::wstring::npos; at = value.find(L'&', at + 5))
        value.replace(at, 1, L"&amp;");
    return value;
}

} // namespace

StringTable::StringTable() = default;

void StringTable::Load(const LTF::Xml::XmlNode* node) {
    if (node == nullptr)
        return;
    const std::wstring name = node->GetName();
    std::unique_lock lock(mutex);
    if (name == L"strings") {
        LoadStrings(*node);
    } else if (name == L"languagetable") {
        const LTF::Xml::XmlNodeList* children = node->GetChildNodes();
        for (int i = 0, n = children->GetLength(); i < n; ++i)
            if (const LTF::Xml::XmlNode* child = children->GetItem(i);
                child->GetName() == L"strings")
                LoadStrings(*child);
    }
}

void StringTable::LoadStrings(const LTF::Xml::XmlNode& strings) {
    std::wstring language = strings.GetAttribute(L"language");
    if (language.empty())
        language = defaultLanguage;
    Table& table = tables[language];
    const LTF::Xml::XmlNodeList* children = strings.GetChildNodes();
    for (int i = 0, n = children->GetLength(); i < n; ++i)
        if (const LTF::Xml::XmlNode* child = children->GetItem(i); child->GetName() == L"string")
            table[child->GetAttribute(L"name")] = child->GetText();
    UpdateSelectedLanguageVariable();
}

void StringTable::LoadFromString(const std::wstring& xmlText) {
    std::unique_ptr<LTF::Xml::XmlParser> parser(LTF::Xml::CreateXmlParser(0));
    parser->ParseString(xmlText);
    Load(parser->GetDocument()->GetDocumentElement());
}

void StringTable::Clear() {
    std::unique_lock lock(mutex);
    tables.clear();
    selectedLanguage = defaultLanguage;
}

void StringTable::SetLanguage(const std::wstring& code) {
    std::unique_lock lock(mutex);
    selectedLanguage = code.empty() ? defaultLanguage : code;
    UpdateSelectedLanguageVariable();
}

void StringTable::UpdateSelectedLanguageVariable() {
    if (auto table = tables.find(defaultLanguage); table != tables.end())
        table->second[kSelectedLanguageVariable] = selectedLanguage;
}

std::wstring StringTable::GetSelectedLanguage() const {
    std::shared_lock lock(mutex);
    return selectedLanguage;
}

std::wstring StringTable::GetDefaultLanguage() const {
    return defaultLanguage;
}

void StringTable::SetVariable(const std::wstring& name, const std::wstring& value) {
    std::unique_lock lock(mutex);
    if (auto table = tables.find(selectedLanguage); table != tables.end())
        table->second[name] = value;
}

void StringTable::SetBuiltInVariable(const std::wstring& name, const std::wstring& value) {
    std::unique_lock lock(mutex);
    if (auto table = tables.find(defaultLanguage); table != tables.end())
        table->second[name] = value;
}

void StringTable::AddShellFolders() {
    const auto folders = Vellmar::Platform::ShellFolders::All();
    std::unique_lock lock(mutex);
    if (auto table = tables.find(defaultLanguage); table != tables.end())
        for (const auto& [name, path] : folders)
            table->second[name] = path;
}

const std::wstring* StringTable::Find(const std::wstring& language, std::wstring_view key) const {
    const auto table = tables.find(language);
    if (table == tables.end())
        return nullptr;
    const auto entry = table->second.find(key);
    return entry == table->second.end() ? nullptr : &entry->second;
}

// An empty entry of the selected language counts as missing.
std::wstring_view StringTable::RawValue(std::wstring_view key) const {
    if (const std::wstring* selected = Find(selectedLanguage, key);
        selected != nullptr && !selected->empty())
        return *selected;
    const std::wstring* fallback = Find(defaultLanguage, key);
    return fallback != nullptr ? std::wstring_view(*fallback) : std::wstring_view();
}

bool StringTable::Defines(const std::wstring& key) const {
    std::shared_lock lock(mutex);
    for (const auto& [language, table] : tables) {
        if (table.find(key) != table.end())
            return true;
    }
    return false;
}

std::wstring StringTable::LookUp(const std::wstring& key) const {
    std::shared_lock lock(mutex);
    Budget budget;
    return ExpandLocked(RawValue(key), false, 1, budget);
}

std::wstring StringTable::Expand(const std::wstring& text) const {
    std::shared_lock lock(mutex);
    Budget budget;
    return ExpandLocked(text, false, 0, budget);
}

std::wstring StringTable::ExpandForXml(const std::wstring& text) const {
    std::shared_lock lock(mutex);
    Budget budget;
    return ExpandLocked(text, true, 0, budget);
}

// Left to right; a token's value is expanded in turn (one level deeper) and then inserted
// without being scanned again.
std::wstring StringTable::ExpandLocked(std::wstring_view text, bool forXml, int depth,
                                       Budget& budget) const {
    std::wstring out;
    std::size_t pos = 0;
    for (;;) {
        const std::size_t start = text.find(kStart, pos);
        const std::size_t end =
            start == std::wstring_view::npos ? start : text.find(kEnd, start + kStart.size());
        if (end == std::wstring_view::npos) {
            out.append(text.substr(pos));
            return out;
        }
        out.append(text.substr(pos, start - pos));
        const std::wstring_view token = text.substr(start, end - start + 1);
        const std::wstring_view name = token.substr(kStart.size(), token.size() - 3);
        pos = end + 1;
        if (name.empty() || depth >= kMaxLookUpDepth || budget.lookUps == 0) {
            out.append(token);
            continue;
        }
        --budget.lookUps;
        std::wstring value = ExpandLocked(RawValue(name), false, depth + 1, budget);
        if (forXml)
            value = EscapeAmpersands(std::move(value));
        if (value.size() > budget.inserted) {
            budget.lookUps = 0;
            out.append(token);
            continue;
        }
        budget.inserted -= value.size();
        out.append(value);
    }
}

std::wstring StringTable::GameLanguage(const std::optional<std::wstring>& directory) {
    return LanguageSelection::GameLanguage(directory);
}

std::wstring StringTable::SystemLanguage() {
    return LanguageSelection::SystemLanguage();
}
