#include "config/check/ConfigurationCheck.h"

#include "config/CommandLine.h"
#include "config/LauncherContext.h"
#include "config/check/ButtonLayoutCheck.h"
#include "config/check/CheckContext.h"
#include "config/check/CycleCheck.h"
#include "config/check/FileCheck.h"
#include "config/check/LanguageCheck.h"
#include "config/check/ReferenceCheck.h"
#include "config/check/SourceLocator.h"
#include "config/check/ValueCheck.h"
#include "config/check/VocabularyCheck.h"
#include "ltf/xml/XmlDocument.h"
#include "ltf/xml/XmlNode.h"
#include "ltf/xml/XmlParser.h"
#include "support/LtfException.h"
#include "support/Path.h"
#include "support/PathResolve.h"
#include "support/Text.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <unistd.h>

namespace Vellmar::Check {

using LTF::Xml::XmlNode;

ConfigurationCheck::ConfigurationCheck(const CommandLine& line, const std::wstring& exeFile,
                                       const std::wstring& language)
    : context(std::make_shared<LauncherContext>()), language(language) {
    // The start-up steps of a run that only read: no log, no window, no mutex.
    context->commandLine = line.full;
    context->argumentString = line.argumentString;
    const std::wstring gameLanguage = StringTable::GameLanguage(RemoveFileSpec(exeFile));
    context->requestedLanguage =
        gameLanguage.empty() ? StringTable::SystemLanguage() : gameLanguage;
    context->selectedLanguage = language.empty() ? context->requestedLanguage : language;
    context->LoadInternalSettings();
    context->ComputeBuiltInPaths(exeFile);
    const std::string exeDir = NativePath(context->strings.LookUp(L"EXE_DIR"));
    if (!exeDir.empty() && ::chdir(exeDir.c_str()) != 0) {
        // Relative names then resolve against the current folder, as in a run.
    }
}

ConfigurationCheck::~ConfigurationCheck() = default;

void ConfigurationCheck::Unreadable(int line, int column, const wchar_t* code,
                                    const std::wstring& text) {
    findings.Add({file, line, column, Severity::Error, code, text});
    unreadable = true;
}

bool ConfigurationCheck::Load() {
    StringTable& strings = context->strings;
    file = strings.LookUp(L"CONFIGXML_FILE");
    if (file.empty() || !PathExists(file)) {
        const std::wstring name = L"data/" + strings.LookUp(L"EXE_BASENAME") + L".xml";
        file = Append(strings.LookUp(L"EXE_DIR"), name);
        Unreadable(0, 0, L"file-not-found",
                   L"no " + name + L" beside the program or a parent folder");
        return false;
    }
    std::ifstream in(NativePath(file), std::ios::binary);
    source.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    parser.reset(LTF::Xml::CreateXmlParser());
    try {
        if (!in.good() && !in.eof())
            throw std::runtime_error("unreadable");
        parser->ParseFile(file);
    } catch (const LTF::Xml::XmlParseErrorException& e) {
        Unreadable(e.line(), e.column(), L"parse-error", e.reason());
        return false;
    } catch (const std::exception&) {
        Unreadable(0, 0, L"file-corrupt", L"the file cannot be read");
        return false;
    }
    const XmlNode* root = parser->GetDocument()->GetDocumentElement();
    if (!root) {
        Unreadable(0, 0, L"file-corrupt", L"the file has no root element");
        return false;
    }
    // The table as a run has it once the engine has started: the shell folders, then the
    // configuration's strings over them.
    const XmlNode* application = root->GetChildNode(L"application", 0);
    const XmlNode* table = application ? application->GetChildNode(L"languagetable", 0) : nullptr;
    strings.Load(table);
    context->AddShellFolders();
    strings.Load(table);
    locator = std::make_unique<SourceLocator>(source, root);
    return true;
}

void ConfigurationCheck::Run() {
    const XmlNode& root = *parser->GetDocument()->GetDocumentElement();
    const CheckContext checked(*context, root, file, *locator, findings, language);
    VocabularyCheck(checked).Run();
    ValueCheck(checked).Run();
    ReferenceCheck(checked).Run();
    FileCheck(checked).Run();
    LanguageCheck(checked).Run();
    ButtonLayoutCheck(checked).Run();
    CycleCheck(checked).Run();
}

std::vector<std::wstring> ConfigurationCheck::Languages() const {
    std::vector<std::wstring> languages;
    const XmlNode* table =
        parser
            ? parser->GetDocument()->GetDocumentElement()->SelectNode(L"application/languagetable")
            : nullptr;
    for (const XmlNode* strings : CheckContext::Elements(table)) {
        const std::wstring language = strings->GetAttribute(L"language");
        if (!language.empty() &&
            std::find(languages.begin(), languages.end(), language) == languages.end())
            languages.push_back(language);
    }
    if (languages.empty())
        languages.push_back(context->strings.GetSelectedLanguage());
    return languages;
}

std::vector<std::wstring> ConfigurationCheck::PageNames() const {
    std::vector<std::wstring> names;
    const XmlNode* pages =
        parser ? parser->GetDocument()->GetDocumentElement()->GetChildNode(L"pages", 0) : nullptr;
    for (const XmlNode* page : CheckContext::Elements(pages)) {
        const std::wstring name = context->strings.Expand(page->GetAttribute(L"name"));
        if (page->GetName() == L"page" && !name.empty() && name != L"default" &&
            std::find(names.begin(), names.end(), name) == names.end())
            names.push_back(name);
    }
    return names;
}

std::vector<std::wstring> ConfigurationCheck::ButtonNames(const std::wstring& page) const {
    std::vector<std::wstring> names;
    const XmlNode* pages =
        parser ? parser->GetDocument()->GetDocumentElement()->GetChildNode(L"pages", 0) : nullptr;
    for (const std::wstring& owner : {std::wstring(L"default"), page}) {
        const XmlNode* element = pages ? pages->FindChildNode(L"name", owner, L"page", 0) : nullptr;
        for (const XmlNode* button : CheckContext::Elements(element)) {
            if (CheckContext::Named(*button, L"xmlbutton"))
                names.push_back(context->strings.Expand(button->GetAttribute(L"name")));
        }
    }
    return names;
}

int ConfigurationCheck::ExitCode() const {
    return unreadable ? kUnreadable : findings.ExitCode();
}

} // namespace Vellmar::Check
