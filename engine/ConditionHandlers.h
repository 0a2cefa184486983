#pragma once

#include "engine/ActionEngine.h"

#include <string>
#include <vector>

// The conditions: each tests something and runs one of its children as an action.
class ConditionHandlers {
public:
    explicit ConditionHandlers(ActionEngine& engine);
    void Register(ActionEngine::HandlerMap& map);
    // The keywords Register installs, for checking a configuration without running it.
    static std::vector<std::wstring> Names();

    void CommandLine(LTF::Xml::XmlNode* element);
    void FileExist(LTF::Xml::XmlNode* element);
    void FloatCompare(LTF::Xml::XmlNode* element);
    void Ini(LTF::Xml::XmlNode* element);
    void RegSz(LTF::Xml::XmlNode* element);
    void Language(LTF::Xml::XmlNode* element);
    void Mutex(LTF::Xml::XmlNode* element);
    // Hands a news-update job to the engine (see NewsUpdateJob.h).
    void NewsUpdate(LTF::Xml::XmlNode* element);

    // False for an empty text; else whether the arguments contain it (letter case counts).
    bool CommandLineContains(const std::wstring& text) const;

private:
    // The first child of that name, run as an action; nothing when there is none.
    void RunBranch(const LTF::Xml::XmlNode& element, const wchar_t* branch);
    void RunTwoWay(const LTF::Xml::XmlNode& element, bool outcome);
    // The first child whose `casevalue` is exactly `text`; false when none matched.
    bool RunCaseMatch(const LTF::Xml::XmlNode& element, const std::wstring& text);
    // REG_SZ or REG_EXPAND_SZ, unexpanded, within 260 characters; "" on any failure.
    static std::wstring ReadBoundedRegistryString(const LTF::Xml::XmlNode& element);

    ActionEngine& engine;
};
