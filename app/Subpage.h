#pragma once

#include <memory>
#include <string>

class ActionEngine;
class CautorunDlg;
class CMainDlg;
class LauncherContext;

namespace LTF::Xml {
class XmlNode;
}

// A rectangle of a page that shows another launcher configuration in an embedded main dialog
// with an engine of its own. When the configuration is missing, the backup folder's content is
// copied into place first.
class Subpage {
public:
    // Reads `source`, `position` and `size` from the `subpage` element; Load shows it.
    Subpage(CautorunDlg& parentPage, LauncherContext& context, const LTF::Xml::XmlNode& element);
    ~Subpage();
    Subpage(const Subpage&) = delete;
    Subpage& operator=(const Subpage&) = delete;

    // (Re)creates the engine and the embedded dialog; drops them when the file is missing.
    void Load();

    CMainDlg* Host() const { return host.get(); }
    ActionEngine* Engine() const { return engine.get(); }
    const std::wstring& Name() const { return name; }
    // The file Load looks for, as the last load computed it.
    const std::wstring& File() const { return filePath; }

private:
    void Read(const LTF::Xml::XmlNode& element);
    // Copies the backup folder into the place of `folder`; false when anything fails.
    bool RestoreFromBackup(const std::wstring& folder);
    std::wstring Folder(const std::wstring& raw) const;
    void Release();

    CautorunDlg& parentPage;
    LauncherContext& context;
    std::wstring name;
    std::wstring path;
    std::wstring backup;
    std::wstring file;
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    std::wstring filePath;
    // The host goes first: it is the engine's window.
    std::unique_ptr<ActionEngine> engine;
    std::unique_ptr<CMainDlg> host;
};
