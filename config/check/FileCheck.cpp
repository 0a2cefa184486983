#include "config/check/FileCheck.h"

#include "config/ButtonVocabulary.h"
#include "config/LauncherContext.h"
#include "engine/EngineText.h"
#include "ltf/xml/XmlNode.h"
#include "support/Path.h"
#include "support/PathResolve.h"
#include "support/Text.h"

#include <sys/stat.h>

namespace Vellmar::Check {

using LTF::Xml::XmlNode;

namespace {

bool ExistsExactly(const std::wstring& path) {
    struct stat info {};
    return ::stat(WideToUtf8(NormalizeSeparators(path)).c_str(), &info) == 0;
}

} // namespace

void FileCheck::Run() const {
    if (const XmlNode* pages = context.Pages()) {
        const std::wstring music = context.Expanded(*pages, L"music");
        if (!music.empty())
            Expect(*pages, L"music", music);
    }
    for (const XmlNode* page : context.PageElements())
        CheckPage(*page);
    for (const ActionSite& site : context.ActionSites())
        CheckAction(site);
}

void FileCheck::CheckPage(const XmlNode& page) const {
    const std::wstring background = context.Expanded(page, L"background");
    if (!background.empty()) {
        if (IsDirectoryPath(background))
            context.Report(page, L"background", Severity::Error, L"missing-file",
                           L"background '" + background + L"' is a folder, not a bitmap");
        else
            Expect(page, L"background", Canonicalize(background));
    }
    const std::wstring click = context.Expanded(page, L"clicksound");
    if (!click.empty())
        Expect(page, L"clicksound", click);
    for (const XmlNode* child : CheckContext::Elements(&page)) {
        if (CheckContext::Named(*child, L"xmlbutton"))
            CheckButton(*child);
        else if (CheckContext::Named(*child, L"subpage"))
            CheckSubpage(*child);
    }
}

void FileCheck::CheckButton(const XmlNode& button) const {
    const bool mute = EqualsIgnoreCase(button.GetAttribute(L"action"), L"system") &&
                      EqualsIgnoreCase(button.GetAttribute(L"value"), L"mute");
    for (const XmlNode* child : CheckContext::Elements(&button)) {
        const std::wstring kind = ToLower(child->GetName());
        std::vector<std::wstring> files;
        if (kind == L"bitmap") {
            files = LTF::GUI::StateAttributes();
            if (mute)
                files.insert(files.end(), LTF::GUI::MuteBitmapAttributes().begin(),
                             LTF::GUI::MuteBitmapAttributes().end());
        } else if (kind == L"sound") {
            files = {L"pushed", L"over"};
        }
        for (const std::wstring& name : files) {
            const std::wstring path = context.Expanded(*child, name.c_str());
            if (!path.empty())
                Expect(*child, name, path);
        }
    }
}

std::wstring FileCheck::SubpageFolder(const CheckContext& context, const std::wstring& raw) {
    std::wstring folder = Canonicalize(context.Launcher().strings.Expand(raw));
    while (folder.size() > 1 && folder.back() == L'/')
        folder.pop_back();
    return folder;
}

void FileCheck::CheckSubpage(const XmlNode& subpage) const {
    const XmlNode* source = nullptr;
    for (const XmlNode* child : CheckContext::Elements(&subpage)) {
        if (CheckContext::Named(*child, L"source"))
            source = child; // the last one wins
    }
    if (!source) {
        context.Report(subpage, {}, Severity::Error, L"missing-file",
                       L"subpage '" + subpage.GetAttribute(L"name") + L"' has no <source>");
        return;
    }
    const std::wstring file = context.Expanded(*source, L"file");
    const std::wstring inPath = Append(SubpageFolder(context, source->GetAttribute(L"path")), file);
    if (PathExists(inPath)) {
        Expect(*source, L"file", inPath);
        return;
    }
    const std::wstring backup = source->GetAttribute(L"backup");
    const std::wstring inBackup =
        backup.empty() ? std::wstring() : Append(SubpageFolder(context, backup), file);
    if (inBackup.empty() || !PathExists(inBackup))
        context.Report(*source, L"file", Severity::Error, L"missing-file",
                       L"subpage file '" + inPath + L"' does not exist" +
                           (backup.empty() ? L"" : L", nor in its backup folder"));
    else
        Expect(*source, L"backup", inBackup);
}

void FileCheck::CheckAction(const ActionSite& site) const {
    const XmlNode& element = *site.element;
    const std::wstring keyword = ToLower(element.GetAttribute(L"action"));
    const std::wstring file = EngineText::ExpandedWithEnvironment(context.Launcher().strings,
                                                                  context.Value(site, L"file"));
    if (keyword == L"loadfont" && !file.empty()) {
        Expect(element, L"file", file);
    } else if ((keyword == L"execute" || keyword == L"shellexecute") &&
               !EngineText::AllSet(element.GetAttribute(L"root"), element.GetAttribute(L"path"),
                                   element.GetAttribute(L"key"))) {
        // As the action resolves it: as written, else joined to the root folder.
        const std::wstring joined = context.Launcher().GetRootDir() + file;
        const bool optional = ToLower(element.GetAttribute(L"noncritical")) == L"true";
        Expect(element, L"file", !file.empty() && PathExists(file) ? file : joined,
               optional ? Severity::Warning : Severity::Error);
    }
}

void FileCheck::Expect(const XmlNode& element, const std::wstring& attribute,
                       const std::wstring& path, Severity missing) const {
    if (ExistsExactly(path))
        return;
    // Named as this machine spells it, whatever separators the configuration used.
    const std::wstring shown = NormalizeSeparators(path);
    if (PathExists(path))
        context.Report(element, attribute, Severity::Warning, L"file-case",
                       L"'" + shown + L"' exists only as '" + ResolvePath(path) +
                           L"': letter case differs, which breaks on a case-sensitive copy");
    else
        context.Report(element, attribute, missing, L"missing-file",
                       L"file '" + shown + L"' does not exist");
}

} // namespace Vellmar::Check
