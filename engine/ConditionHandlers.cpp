#include "engine/ConditionHandlers.h"

#include "config/LauncherContext.h"
#include "engine/EngineText.h"
#include "engine/FileResolver.h"
#include "engine/HandlerTable.h"
#include "engine/NamedMutex.h"
#include "ltf/xml/XmlNode.h"
#include "platform/ProfileFile.h"
#include "platform/RegistryStore.h"
#include "support/Conversions.h"

using LTF::Xml::XmlNode;

ConditionHandlers::ConditionHandlers(ActionEngine& engine) : engine(engine) {}

namespace {

using Member = void (ConditionHandlers::*)(XmlNode*);
const std::pair<const wchar_t*, Member> kHandlers[] = {
    {L"commandline", &ConditionHandlers::CommandLine},
    {L"fileexist", &ConditionHandlers::FileExist},
    {L"floatcompare", &ConditionHandlers::FloatCompare},
    {L"ini", &ConditionHandlers::Ini},
    {L"language", &ConditionHandlers::Language},
    {L"mutex", &ConditionHandlers::Mutex},
    {L"newsupdate", &ConditionHandlers::NewsUpdate},
    {L"regsz", &ConditionHandlers::RegSz},
};

} // namespace

void ConditionHandlers::Register(ActionEngine::HandlerMap& map) {
    RegisterHandlers(this, kHandlers, map);
}

std::vector<std::wstring> ConditionHandlers::Names() {
    return HandlerNames<ConditionHandlers>(kHandlers);
}

void ConditionHandlers::RunBranch(const XmlNode& element, const wchar_t* branch) {
    engine.ExecuteAction(element.GetChildNode(branch, 0));
}

void ConditionHandlers::RunTwoWay(const XmlNode& element, bool outcome) {
    RunBranch(element, outcome ? L"true" : L"false");
}

bool ConditionHandlers::RunCaseMatch(const XmlNode& element, const std::wstring& text) {
    XmlNode* match = element.FindChildNode(L"casevalue", text, L"", 0);
    engine.ExecuteAction(match);
    return match != nullptr;
}

bool ConditionHandlers::CommandLineContains(const std::wstring& text) const {
    return !text.empty() && engine.Context().argumentString.find(text) != std::wstring::npos;
}

void ConditionHandlers::CommandLine(XmlNode* element) {
    const std::wstring value = element->GetAttribute(L"value");
    const std::wstring delimiter = element->GetAttribute(L"delimiter");
    if (delimiter.empty()) {
        RunTwoWay(*element, CommandLineContains(value));
        return;
    }
    for (int i = 0;; ++i) {
        XmlNode* option = element->GetChildNode(L"case", i);
        if (!option)
            return;
        if (CommandLineContains(value + delimiter + option->GetAttribute(L"casevalue"))) {
            engine.ExecuteAction(option);
            return;
        }
    }
}

void ConditionHandlers::FileExist(XmlNode* element) {
    RunTwoWay(*element, FileResolver::Resolve(engine.Context(), *element).found);
}

void ConditionHandlers::FloatCompare(XmlNode* element) {
    const StringTable& strings = engine.Context().strings;
    const auto number = [&](const wchar_t* attribute) {
        const std::wstring text =
            EngineText::ExpandedWithEnvironment(strings, element->GetAttribute(attribute));
        return LTF::wstring_to_float(text, 0.0f);
    };
    const float left = number(L"lvalue");
    const float right = number(L"rvalue");
    if (left < right)
        RunBranch(*element, L"less");
    else if (left == right)
        RunBranch(*element, L"equal");
    else if (left > right)
        RunBranch(*element, L"greater");
}

void ConditionHandlers::Ini(XmlNode* element) {
    const std::wstring section = element->GetAttribute(L"section");
    const std::wstring entry = element->GetAttribute(L"entry");
    const std::wstring value = element->GetAttribute(L"value");
    if (section.empty() || entry.empty())
        return;
    const FileResolver::Result file = FileResolver::Resolve(engine.Context(), *element);
    if (!file.found)
        return;
    const std::wstring text = Vellmar::Platform::ProfileFile(file.path).GetString(section, entry);
    if (value.empty())
        RunCaseMatch(*element, text);
    else
        RunTwoWay(*element, text == value);
}

std::wstring ConditionHandlers::ReadBoundedRegistryString(const XmlNode& element) {
    return Vellmar::Platform::RegistryStore()
        .ReadStringLimited(element.GetAttribute(L"root"), element.GetAttribute(L"path"),
                           element.GetAttribute(L"key"))
        .value_or(std::wstring());
}

void ConditionHandlers::RegSz(XmlNode* element) {
    const std::wstring text = ReadBoundedRegistryString(*element);
    const std::wstring value = element->GetAttribute(L"value");
    if (value.empty())
        RunCaseMatch(*element, text);
    else
        RunTwoWay(*element, text == value);
}

void ConditionHandlers::Language(XmlNode* element) {
    LauncherContext& context = engine.Context();
    std::wstring current = context.selectedLanguage;
    const std::wstring gameFolder = ReadBoundedRegistryString(*element);
    if (!gameFolder.empty())
        if (std::wstring code = StringTable::GameLanguage(gameFolder); !code.empty())
            current = code;
    const std::wstring value = element->GetAttribute(L"value");
    if (!value.empty()) {
        RunTwoWay(*element, current == value);
        return;
    }
    if (RunCaseMatch(*element, current))
        return;
    const std::wstring fallback = element->GetAttribute(L"default");
    RunCaseMatch(*element, fallback.empty() ? context.requestedLanguage : fallback);
}

void ConditionHandlers::Mutex(XmlNode* element) {
    const std::wstring name = element->GetAttribute(L"value");
    if (name.empty())
        return;
    NamedMutex probe(name);
    if (!probe.IsHeldElsewhere()) {
        probe.Release();
        RunBranch(*element, L"false");
        return;
    }
    if (element->GetChildNode(L"bringtofront", 0))
        probe.BringHolderToFront();
    probe.Release();
    RunBranch(*element, L"true");
}

void ConditionHandlers::NewsUpdate(XmlNode* element) {
    const auto xmlOf = [&](const wchar_t* branch) {
        const XmlNode* child = element->GetChildNode(branch, 0);
        return child ? child->GetXml() : std::wstring();
    };
    engine.AddNewsUpdateJob(NewsUpdateRequest{element->GetAttribute(L"location"),
                                              element->GetAttribute(L"URL"), xmlOf(L"false"),
                                              xmlOf(L"true")});
}
