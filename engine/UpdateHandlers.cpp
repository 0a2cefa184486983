#include "engine/UpdateHandlers.h"

#include "config/LauncherContext.h"
#include "engine/EngineText.h"
#include "engine/HandlerTable.h"
#include "ltf/xml/XmlNode.h"
#include "platform/RegistryStore.h"
#include "support/Path.h"
#include "support/PathResolve.h"
#include "support/Text.h"

using LTF::Xml::XmlNode;
using Vellmar::Platform::RegistryStore;

UpdateHandlers::UpdateHandlers(ActionEngine& engine) : engine(engine) {}

namespace {

using Member = void (UpdateHandlers::*)(XmlNode*);
const std::pair<const wchar_t*, Member> kHandlers[] = {
    {L"language", &UpdateHandlers::Language}, {L"path", &UpdateHandlers::Path},
    {L"regsz", &UpdateHandlers::RegSz},       {L"string", &UpdateHandlers::String},
    {L"version", &UpdateHandlers::Version},
};

} // namespace

void UpdateHandlers::Register(ActionEngine::HandlerMap& map) {
    RegisterHandlers(this, kHandlers, map);
}

std::vector<std::wstring> UpdateHandlers::Names() {
    return HandlerNames<UpdateHandlers>(kHandlers);
}

void UpdateHandlers::Language(XmlNode* element) {
    LauncherContext& context = engine.Context();
    const std::wstring value = element->GetAttribute(L"value");
    if (!value.empty()) {
        context.selectedLanguage = value;
        context.strings.SetLanguage(value);
    }
    if (Vellmar::ToLower(element->GetAttribute(L"refresh")) == L"true")
        if (EngineHost* host = engine.Host())
            host->Refresh();
}

void UpdateHandlers::Path(XmlNode* element) {
    const std::wstring root = element->GetAttribute(L"root");
    const std::wstring key = element->GetAttribute(L"path");
    const std::wstring name = element->GetAttribute(L"key");
    if (!EngineText::AllSet(root, key, name))
        return;
    const std::wstring folder = Vellmar::RemoveFileSpec(engine.Context().GetRootDir());
    RegistryStore().WriteRegistryString(root, key, name, folder);
}

void UpdateHandlers::RegSz(XmlNode* element) {
    const std::wstring variable = element->GetAttribute(L"value");
    if (variable.empty())
        return;
    const std::wstring text = RegistryStore().ReadRegistryString(element->GetAttribute(L"root"),
                                                                 element->GetAttribute(L"path"),
                                                                 element->GetAttribute(L"key"));
    if (!text.empty())
        engine.Context().strings.SetVariable(variable, text);
}

void UpdateHandlers::String(XmlNode* element) {
    if (element->GetAttribute(L"value").empty())
        return;
    const std::wstring text = EngineText::LookedUp(engine.Context().strings, *element, L"value");
    if (!text.empty())
        RegistryStore().WriteRegistryString(element->GetAttribute(L"root"),
                                            element->GetAttribute(L"path"),
                                            element->GetAttribute(L"key"), text);
}

void UpdateHandlers::Version(XmlNode* element) {
    StringTable& strings = engine.Context().strings;
    const std::wstring file =
        EngineText::ExpandedWithEnvironment(strings, element->GetAttribute(L"file"));
    if (file.empty() || !Vellmar::PathExists(file))
        return;
    std::wstring version;
    if (LauncherContext::GetFileVersionString(Vellmar::ResolvePath(file), version, false))
        strings.SetBuiltInVariable(L"EXE_VERSION", version);
}
