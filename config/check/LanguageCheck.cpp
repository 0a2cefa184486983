#include "config/check/LanguageCheck.h"

#include "ltf/xml/XmlNode.h"

#include <map>
#include <set>

namespace Vellmar::Check {

using LTF::Xml::XmlNode;

void LanguageCheck::Run() const {
    const XmlNode* application = context.Application();
    const XmlNode* table = application ? application->GetChildNode(L"languagetable", 0) : nullptr;
    std::set<std::wstring> languages;
    // Each name's first definition, and the languages that define it.
    std::map<std::wstring, std::pair<const XmlNode*, std::set<std::wstring>>> names;
    for (const XmlNode* strings : CheckContext::Elements(table)) {
        const std::wstring language = strings->GetAttribute(L"language");
        if (!CheckContext::Named(*strings, L"strings") || language.empty())
            continue;
        languages.insert(language);
        for (const XmlNode* string : CheckContext::Elements(strings)) {
            const std::wstring name = string->GetAttribute(L"name");
            if (!CheckContext::Named(*string, L"string") || name.empty())
                continue;
            auto& entry = names[name];
            if (!entry.first)
                entry.first = string;
            entry.second.insert(language);
        }
    }
    for (const auto& [name, entry] : names) {
        std::wstring missing;
        for (const std::wstring& language : languages) {
            const bool wanted =
                context.OnlyLanguage().empty() || language == context.OnlyLanguage();
            if (wanted && entry.second.count(language) == 0)
                missing += (missing.empty() ? L"" : L", ") + language;
        }
        if (missing.empty())
            continue;
        std::wstring present;
        for (const std::wstring& language : entry.second)
            present += (present.empty() ? L"" : L", ") + language;
        context.Report(*entry.first, L"name", Severity::Warning, L"missing-translation",
                       L"string '" + name + L"' is in " + present + L" but not in " + missing);
    }
}

} // namespace Vellmar::Check
