#pragma once

#include "engine/ActionEngine.h"

#include <string>
#include <vector>

// The five kinds of the `update` action, chosen by `updatetype`.
class UpdateHandlers {
public:
    explicit UpdateHandlers(ActionEngine& engine);
    void Register(ActionEngine::HandlerMap& map);
    // The keywords Register installs, for checking a configuration without running it.
    static std::vector<std::wstring> Names();

    void Language(LTF::Xml::XmlNode* element);
    void Path(LTF::Xml::XmlNode* element);
    void RegSz(LTF::Xml::XmlNode* element);
    void String(LTF::Xml::XmlNode* element);
    void Version(LTF::Xml::XmlNode* element);

private:
    ActionEngine& engine;
};
