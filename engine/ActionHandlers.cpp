#include "engine/ActionHandlers.h"

#include "config/LauncherContext.h"
#include "engine/EngineText.h"
#include "engine/HandlerTable.h"
#include "ltf/xml/XmlNode.h"
#include "platform/Shell.h"
#include "support/Conversions.h"
#include "support/PathResolve.h"
#include "support/Text.h"

using LTF::Xml::XmlNode;

ActionHandlers::ActionHandlers(ActionEngine& engine) : engine(engine) {}

StringTable& ActionHandlers::Strings() {
    return engine.Context().strings;
}

namespace {

using Member = void (ActionHandlers::*)(XmlNode*);
const std::pair<const wchar_t*, Member> kHandlers[] = {
    {L"actionqueue", &ActionHandlers::ActionQueue},
    {L"condition", &ActionHandlers::Condition},
    {L"createdir", &ActionHandlers::CreateDir},
    {L"createshortcut", &ActionHandlers::CreateShortcut},
    {L"createurl", &ActionHandlers::CreateUrl},
    {L"enablebutton", &ActionHandlers::EnableButton},
    {L"setbuttonattribute", &ActionHandlers::SetButtonAttribute},
    {L"execute", &ActionHandlers::Execute},
    {L"loadfont", &ActionHandlers::LoadFont},
    {L"setmutex", &ActionHandlers::SetMutex},
    {L"page", &ActionHandlers::Page},
    {L"pagecycle", &ActionHandlers::PageCycle},
    {L"shellexecute", &ActionHandlers::Execute},
    {L"subpage", &ActionHandlers::Subpage},
    {L"system", &ActionHandlers::System},
    {L"update", &ActionHandlers::Update},
    {L"url", &ActionHandlers::Url},
};

} // namespace

void ActionHandlers::Register(ActionEngine::HandlerMap& map) {
    RegisterHandlers(this, kHandlers, map);
}

std::vector<std::wstring> ActionHandlers::Names() {
    return HandlerNames<ActionHandlers>(kHandlers);
}

void ActionHandlers::ActionQueue(XmlNode* element) {
    engine.RunActionQueue(element->GetAttribute(L"value"), 0);
}

void ActionHandlers::Condition(XmlNode* element) {
    engine.RunCondition(element->GetAttribute(L"value"));
}

void ActionHandlers::EnableButton(XmlNode* element) {
    const bool enable = Vellmar::ToLower(element->GetAttribute(L"value")) == L"true";
    engine.SetButtonDisabled(element->GetAttribute(L"button"), !enable);
    if (element->GetAttribute(L"refresh") != L"false")
        if (EngineHost* host = engine.Host())
            host->RefreshButtons();
}

void ActionHandlers::SetButtonAttribute(XmlNode* element) {
    if (EngineHost* host = engine.Host())
        host->SetButtonAttribute(element->GetAttribute(L"button"), element);
}

void ActionHandlers::Page(XmlNode* element) {
    if (EngineHost* host = engine.Host())
        host->ShowPage(element->GetAttribute(L"value"));
}

void ActionHandlers::PageCycle(XmlNode*) {
    if (EngineHost* host = engine.Host())
        host->CyclePage();
}

void ActionHandlers::Subpage(XmlNode* element) {
    if (EngineHost* host = engine.Host())
        host->ShowSubpage(element->GetAttribute(L"value"));
}

void ActionHandlers::Close() {
    engine.Stop();
    if (EngineHost* host = engine.Host())
        host->Quit();
}

void ActionHandlers::System(XmlNode* element) {
    const std::wstring value = Vellmar::ToLower(element->GetAttribute(L"value"));
    if (value == L"close") {
        Close();
    } else if (value == L"minimize") {
        if (EngineHost* host = engine.Host())
            host->Minimize();
    } else if (value == L"mute") {
        Mute(element);
    }
}

void ActionHandlers::Mute(XmlNode* element) {
    const bool muted = engine.Music().ToggleMute();
    const XmlNode* bitmap = element->GetChildNode(L"bitmap", 0);
    EngineHost* host = engine.Host();
    if (!bitmap || !host)
        return;
    const auto read = [&](const std::wstring& name) {
        return bitmap->GetAttribute(muted ? name + L"mute" : name);
    };
    MuteBitmaps bitmaps;
    bitmaps.normal = read(L"normal");
    bitmaps.duplicate = LTF::wstring_to_bool(read(L"duplicate"));
    bitmaps.over = read(L"over");
    bitmaps.pushed = read(L"pushed");
    // The attribute names carry this spelling in every configuration.
    bitmaps.disabled = read(L"dissabled");
    host->UpdateMuteButtons(bitmaps);
}

void ActionHandlers::Update(XmlNode* element) {
    engine.RunUpdate(element);
}

void ActionHandlers::Url(XmlNode* element) {
    const std::wstring address = element->GetAttribute(L"value");
    // OpenUrl refuses every scheme but http, https, ftp and mailto: the desktop opener would
    // run code for file: and the like.
    if (Vellmar::Platform::Shell::IsUrl(address))
        Vellmar::Platform::Shell::OpenUrl(address);
    if (element->GetAttribute(L"autoquit") == L"true")
        Close();
}

void ActionHandlers::LoadFont(XmlNode* element) {
    const std::wstring file = element->GetAttribute(L"file");
    EngineHost* host = engine.Host();
    if (host && !file.empty() && Vellmar::PathExists(file))
        host->AddPrivateFont(EngineText::FullPath(Vellmar::ResolvePath(file)));
}

void ActionHandlers::SetMutex(XmlNode* element) {
    std::wstring name = element->GetAttribute(L"value");
    if (name.empty())
        name = ActionEngine::kDefaultMutexName;
    if (engine.TakeMutex(name))
        return;
    engine.ShowError(L"Trying to _set_ two mutexes is not valid!");
    engine.Stop();
}
