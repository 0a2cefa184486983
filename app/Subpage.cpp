#include "app/Subpage.h"

#include "app/CMainDlg.h"
#include "app/CautorunDlg.h"
#include "app/PageElements.h"
#include "config/LauncherContext.h"
#include "engine/ActionEngine.h"
#include "engine/EngineText.h"
#include "ltf/xml/XmlNode.h"
#include "support/CommitDirectory.h"
#include "support/Directory.h"
#include "support/Path.h"
#include "support/PathResolve.h"
#include "support/Text.h"
#include "support/UniqueName.h"

using LTF::Xml::XmlNode;

namespace {

// A whole decimal number; anything else leaves `field` as it was.
void ReadNumber(const XmlNode& element, const wchar_t* attribute, int& field) {
    try {
        field = EngineText::StrictDecimal(element.GetAttribute(attribute));
    } catch (const std::exception&) {
    }
}

} // namespace

Subpage::Subpage(CautorunDlg& parentPage, LauncherContext& context, const XmlNode& element)
    : parentPage(parentPage), context(context), name(element.GetAttribute(L"name")) {
    Read(element);
}

Subpage::~Subpage() {
    Release();
}

void Subpage::Read(const XmlNode& element) {
    for (const XmlNode* child : PageElements::ElementsIn(&element)) {
        const std::wstring kind = Vellmar::ToLower(child->GetName());
        if (kind == L"source") {
            path = child->GetAttribute(L"path");
            backup = child->GetAttribute(L"backup");
            file = child->GetAttribute(L"file");
        } else if (kind == L"position") {
            ReadNumber(*child, L"x", x);
            ReadNumber(*child, L"y", y);
        } else if (kind == L"size") {
            ReadNumber(*child, L"width", width);
            ReadNumber(*child, L"height", height);
        }
    }
}

std::wstring Subpage::Folder(const std::wstring& raw) const {
    std::wstring folder = Vellmar::Canonicalize(context.strings.Expand(raw));
    // "news\" names the folder news, not something inside it.
    while (folder.size() > 1 && folder.back() == L'/')
        folder.pop_back();
    return folder;
}

void Subpage::Release() {
    if (host)
        host->DestroyWindow();
    host.reset();
    engine.reset();
}

void Subpage::Load() {
    if (context.configurationFailed)
        return;
    try {
        const std::wstring folder = Folder(path);
        filePath = Vellmar::Append(folder, context.strings.Expand(file));
        if (!Vellmar::PathExists(filePath)) {
            // Restoring writes, which a preview never does: it shows the area empty.
            if (context.previewOnly || !RestoreFromBackup(folder))
                return;
            if (!Vellmar::PathExists(filePath)) {
                Release();
                return;
            }
        }
    } catch (const std::exception&) {
        return;
    }
    Release();
    engine = std::make_unique<ActionEngine>(context, true);
    host = std::make_unique<CMainDlg>(*engine, &parentPage);
    host->initSignal.connect([this, file = filePath] {
        if (context.previewOnly)
            engine->Preview(host.get(), file);
        else
            engine->Start(host.get(), file);
    });
    host->InitDialog();
    if (engine->IsStopped()) {
        Release();
        return;
    }
    host->setGeometry(x, y, width, height);
    host->show();
}

bool Subpage::RestoreFromBackup(const std::wstring& folder) {
    const std::wstring source = Folder(backup);
    if (backup.empty() || !Vellmar::IsDirectoryPath(source))
        return false;
    const std::wstring parent = Vellmar::RemoveFileSpec(folder);
    std::wstring fresh;
    try {
        fresh = Vellmar::TryWithUniqueName(Vellmar::Directory::Create, parent, L"");
        Vellmar::Directory::Copy(fresh, source);
        Vellmar::CommitDirectory(folder, fresh);
        return true;
    } catch (const std::exception&) {
        if (!fresh.empty() && Vellmar::IsDirectoryPath(fresh)) {
            try {
                Vellmar::Directory::Delete(fresh);
            } catch (const std::exception&) {
            }
        }
        return false;
    }
}
