#pragma once

#include "engine/ActionEngine.h"

#include <string>
#include <vector>

class StringTable;

// The seventeen actions. Each reads its own attributes from the action element; failures are
// reported only by `execute` (a missing file) and `setmutex` (a second mutex).
class ActionHandlers {
public:
    explicit ActionHandlers(ActionEngine& engine);
    void Register(ActionEngine::HandlerMap& map);
    // The keywords Register installs, for checking a configuration without running it.
    static std::vector<std::wstring> Names();

    // Window, sound and flow (ActionHandlers.cpp).
    void ActionQueue(LTF::Xml::XmlNode* element);
    void Condition(LTF::Xml::XmlNode* element);
    void EnableButton(LTF::Xml::XmlNode* element);
    void SetButtonAttribute(LTF::Xml::XmlNode* element);
    void Page(LTF::Xml::XmlNode* element);
    void PageCycle(LTF::Xml::XmlNode* element);
    void Subpage(LTF::Xml::XmlNode* element);
    void System(LTF::Xml::XmlNode* element);
    void Update(LTF::Xml::XmlNode* element);
    void Url(LTF::Xml::XmlNode* element);
    void LoadFont(LTF::Xml::XmlNode* element);
    void SetMutex(LTF::Xml::XmlNode* element);

    // Files and programs (ActionHandlersFiles.cpp).
    void CreateDir(LTF::Xml::XmlNode* element);
    void CreateShortcut(LTF::Xml::XmlNode* element);
    void CreateUrl(LTF::Xml::XmlNode* element);
    void Execute(LTF::Xml::XmlNode* element);

private:
    void Mute(LTF::Xml::XmlNode* element);
    void Close();
    StringTable& Strings();

    ActionEngine& engine;
};
