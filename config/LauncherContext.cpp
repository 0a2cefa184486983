#include "config/LauncherContext.h"

#include "config/MessageBoxService.h"
#include "ltf/xml/XmlDocument.h"
#include "ltf/xml/XmlNode.h"
#include "ltf/xml/XmlParser.h"
#include "platform/FileVersion.h"
#include "platform/ShellFolders.h"
#include "res/EmbeddedResources.h"
#include "support/LtfException.h"
#include "support/Path.h"
#include "support/PathResolve.h"
#include "support/Text.h"
#include "support/VellmarException.h"

#include <boost/algorithm/string/case_conv.hpp>

#include <mutex>
#include <unistd.h>

using namespace Vellmar;
using LTF::Xml::XmlNode;
using LTF::Xml::XmlParser;

namespace {

std::mutex currentLock;
std::shared_ptr<LauncherContext> current;

XmlNode* ApplicationOf(XmlParser& parser) {
    XmlNode* root = parser.GetDocument() ? parser.GetDocument()->GetDocumentElement() : nullptr;
    return root ? root->GetChildNode(L"application", 0) : nullptr;
}

std::wstring BaseNameOf(const std::wstring& exeFile) {
    const std::size_t slash = exeFile.find_last_of(L"/\\");
    std::wstring name = slash == std::wstring::npos ? exeFile : exeFile.substr(slash + 1);
    const std::size_t dot = name.find_last_of(L'.');
    if (dot != std::wstring::npos && dot != 0)
        name.erase(dot);
    return name;
}

template <typename Step> std::wstring PathStep(int step, Step&& operation) {
    try {
        return operation();
    } catch (const Vellmar::Exception&) {
        throw ConfigurationException(step);
    }
}

} // namespace

LauncherContext::LauncherContext() = default;

void LauncherContext::Start(const CommandLine& line, const std::wstring& exeFile) {
    commandLine = line.full;
    argumentString = line.argumentString;
    loggingEnabled = line.logging;
    const std::wstring gameLanguage = StringTable::GameLanguage(RemoveFileSpec(exeFile));
    requestedLanguage = gameLanguage.empty() ? StringTable::SystemLanguage() : gameLanguage;
    selectedLanguage = requestedLanguage;
    LoadInternalSettings();
    ComputeBuiltInPaths(exeFile);
    const std::string exeDir = NativePath(strings.LookUp(L"EXE_DIR"));
    if (!exeDir.empty() && ::chdir(exeDir.c_str()) != 0) {
        // Start-up goes on in the current folder when the launcher's own cannot be entered.
    }
    LoadConfigurationFile();
    AddShellFolders();
}

void LauncherContext::LoadInternalSettings() {
    std::wstring text = Utf8ToWide(Resources::EmbeddedMessagesXml());
    const std::size_t start = text.find(L'<');
    text = start == std::wstring::npos ? std::wstring() : text.substr(start);
    if (text.empty())
        return;
    std::unique_ptr<XmlParser> parser(LTF::Xml::CreateXmlParser());
    try {
        parser->ParseString(text);
        if (XmlNode* application = ApplicationOf(*parser)) {
            strings.Clear();
            strings.SetLanguage(selectedLanguage);
            strings.Load(application->GetChildNode(L"languagetable", 0));
        }
    } catch (const LTF::Xml::XmlParseErrorException& e) {
        MessageBoxService::Current().Show(
            L"Error",
            FormatMessageText(L"Error: %ls Line %i, Column %i in inter XML settings.",
                              {e.reason(), e.line(), e.column()}),
            MessageIcon::Stop);
        configurationFailed = true;
    } catch (...) {
        MessageBoxService::Current().Show(L"Error", L"The internal settings seems to be corrupt.",
                                          MessageIcon::Stop);
        configurationFailed = true;
    }
}

void LauncherContext::ComputeBuiltInPaths(const std::wstring& exeFile) {
    if (exeFile.empty())
        throw ConfigurationException(3);
    strings.SetBuiltInVariable(L"EXE_FILE", exeFile);
    const std::wstring exeDir = PathStep(2, [&] { return RemoveFileSpec(exeFile); });
    strings.SetBuiltInVariable(L"EXE_DIR", exeDir);
    const std::wstring baseName = BaseNameOf(exeFile);
    strings.SetBuiltInVariable(L"EXE_BASENAME", baseName);
    const std::wstring fileName = baseName + L".xml";

    std::wstring folder = exeDir;
    while (true) {
        const std::wstring dataFolder = PathStep(0, [&] { return Append(folder, L"data"); });
        const std::wstring candidate = PathStep(1, [&] { return Append(dataFolder, fileName); });
        if (PathExists(candidate)) {
            const std::wstring found = ResolvePath(candidate);
            strings.SetBuiltInVariable(L"CONFIGXML_DIR", RemoveFileSpec(found));
            strings.SetBuiltInVariable(L"CONFIGXML_FILE", found);
            return;
        }
        try {
            folder = RemoveFileSpec(folder);
        } catch (const Vellmar::Exception&) {
            return;
        }
        if (folder.empty() || folder == L"/")
            return;
    }
}

void LauncherContext::LoadConfigurationFile() {
    configurationFailed = false;
    const std::wstring file = strings.LookUp(L"CONFIGXML_FILE");
    if (file.empty() || !PathExists(file)) {
        ShowLocalizedError(L"error_filenotfound", {strings.LookUp(L"EXE_BASENAME") + L".xml"});
        configurationFailed = true;
        return;
    }
    std::unique_ptr<XmlParser> parser(LTF::Xml::CreateXmlParser());
    try {
        parser->ParseFile(file);
        if (XmlNode* application = ApplicationOf(*parser)) {
            reloadOnDiskChange = boost::algorithm::to_lower_copy(
                                     application->GetAttribute(L"OnDiskChange")) == L"reload";
            strings.Load(application->GetChildNode(L"languagetable", 0));
        }
    } catch (const LTF::Xml::XmlParseErrorException& e) {
        ShowLocalizedError(L"error_parseerror", {e.reason(), e.line(), e.column(), file});
        configurationFailed = true;
    } catch (...) {
        ShowLocalizedError(L"error_filecorrupt", {file});
        configurationFailed = true;
    }
}

void LauncherContext::AddShellFolders() {
    for (const auto& [name, path] : Platform::ShellFolders::All())
        strings.SetBuiltInVariable(name, path);
}

std::wstring LauncherContext::GetRootDir() {
    const std::wstring root = strings.LookUp(L"ROOT_DIR");
    return root.empty() ? strings.LookUp(L"EXE_DIR") : Canonicalize(root);
}

bool LauncherContext::GetFileVersionString(const std::wstring& path, std::wstring& version,
                                           bool full) {
    version.clear();
    const std::optional<Platform::FileVersion> found = Platform::FileVersion::Read(path);
    if (!found)
        return false;
    version = full ? found->FullText() : found->MajorMinorText();
    return true;
}

void LauncherContext::ShowLocalizedError(const std::wstring& key,
                                         const std::vector<MessageArgument>& arguments) {
    MessageBoxService::Current().Show(strings.LookUp(L"error_title"),
                                      FormatMessageText(strings.LookUp(key), arguments),
                                      MessageIcon::Stop);
}

std::shared_ptr<LauncherContext> LauncherContext::Current() {
    std::lock_guard lock(currentLock);
    return current;
}

void LauncherContext::SetCurrent(std::shared_ptr<LauncherContext> context) {
    std::lock_guard lock(currentLock);
    current = std::move(context);
}
