// The actions that touch files and start programs.
#include "engine/ActionHandlers.h"

#include "config/LauncherContext.h"
#include "config/MessageText.h"
#include "engine/EngineText.h"
#include "engine/FileResolver.h"
#include "ltf/xml/XmlNode.h"
#include "platform/ProfileFile.h"
#include "platform/Shell.h"
#include "platform/ShortcutWriter.h"
#include "support/Path.h"
#include "support/PathResolve.h"
#include "support/Text.h"

#include <sys/stat.h>
#include <unistd.h>

#include <vector>

using LTF::Xml::XmlNode;

namespace {

bool IsRoot(const std::wstring& path) {
    return path == L"/" || path.empty();
}

} // namespace

void ActionHandlers::CreateDir(XmlNode* element) {
    const std::wstring looked = EngineText::LookedUp(Strings(), *element, L"value");
    const std::wstring path =
        EngineText::FullPath(EngineText::ExpandedWithEnvironment(Strings(), looked));
    if (path.empty())
        return;
    std::vector<std::wstring> missing;
    for (std::wstring current = path; !Vellmar::PathExists(current) && !IsRoot(current);
         current = Vellmar::RemoveFileSpec(current))
        missing.push_back(current);
    // Outermost first; a level that cannot be made leaves the ones below it missing too.
    for (auto level = missing.rbegin(); level != missing.rend(); ++level)
        ::mkdir(Vellmar::NativeTargetPath(*level).c_str(), 0777);
}

void ActionHandlers::CreateShortcut(XmlNode* element) {
    const std::wstring link = EngineText::LookedUp(Strings(), *element, L"value");
    const std::wstring target = EngineText::LookedUp(Strings(), *element, L"file");
    const auto absolute = [&](const std::wstring& text) {
        return EngineText::FullPath(EngineText::ExpandedWithEnvironment(Strings(), text));
    };
    const std::wstring targetPath = absolute(target);
    const std::wstring linkPath = absolute(link);
    if (targetPath.empty() || linkPath.empty())
        return;
    try {
        Vellmar::Platform::ShortcutWriter::Write(linkPath, targetPath);
    } catch (const std::exception&) {
        // A shortcut that cannot be written is not reported.
    }
}

void ActionHandlers::CreateUrl(XmlNode* element) {
    const std::wstring address = EngineText::LookedUp(Strings(), *element, L"value");
    const std::wstring file = EngineText::LookedUp(Strings(), *element, L"file");
    if (!file.empty())
        Vellmar::Platform::ProfileFile(file).WriteString(L"InternetShortcut", L"URL", address);
}

void ActionHandlers::Execute(XmlNode* element) {
    std::wstring verb = element->GetAttribute(L"verb");
    if (verb.empty())
        verb = L"open";
    const bool autoquit = Vellmar::ToLower(element->GetAttribute(L"autoquit")) == L"true";
    const bool noncritical = Vellmar::ToLower(element->GetAttribute(L"noncritical")) == L"true";
    const FileResolver::Result file = FileResolver::Resolve(engine.Context(), *element);
    if (!file.found) {
        if (!noncritical)
            engine.ShowError(
                Vellmar::FormatMessageText(Strings().LookUp(L"error_filenotfound"), {file.path}));
        return;
    }
    const std::wstring arguments = Strings().Expand(file.arguments);
    if (autoquit)
        engine.ReleaseMutex(); // the program may take the same name
    // Fixed before the folder changes, so that a name found relative to the old one still holds.
    const std::wstring program = EngineText::FullPath(Vellmar::ResolvePath(file.path));
    const std::wstring directory = Strings().Expand(element->GetAttribute(L"path"));
    if (!directory.empty() && ::chdir(Vellmar::NativePath(directory).c_str()) != 0) {
        // A folder that cannot be entered leaves the current one, as before.
    }
    const bool started =
        Vellmar::Platform::Shell::Execute(verb, program, arguments, std::wstring());
    if (started && autoquit)
        Close();
}
