#pragma once

#include "app/ControlIds.h"
#include "engine/EngineHost.h"

#include <boost/ptr_container/ptr_map.hpp>

#include <QPixmap>
#include <QWidget>

#include <array>
#include <functional>
#include <memory>
#include <string>

class ActionEngine;
class CMainDlg;
class PageElements;
class StringTable;
class Subpage;

namespace LTF::GUI {
class CFxButton;
class MediaSoundSink;
} // namespace LTF::GUI

// One page of the launcher: a background bitmap, 30 skinned button slots and the subpages,
// all described by the page's element in the `pages` section (and the "default" page's).
class CautorunDlg : public QWidget {
    Q_OBJECT

public:
    static constexpr int kDefaultWidth = 500;
    static constexpr int kDefaultHeight = 200;

    CautorunDlg(ActionEngine& engine, CMainDlg& owner);
    ~CautorunDlg() override;

    // Reads the page: background, buttons in slot order, subpages, size, the page's queue.
    void Build(const std::wstring& pagesXml, const std::wstring& name);

    // Slot 1 to 30; runs the slot's `xmlbutton` element.
    void OnButton(int slot);
    // A click of the control with that identifier.
    void OnControl(int controlId);

    void RefreshButtons();
    void SetButtonAttribute(const std::wstring& buttonName, const LTF::Xml::XmlNode* attribute);
    void Refresh();
    void UpdateMuteButtons(const MuteBitmaps& bitmaps);
    void ShowSubpage(const std::wstring& name);

    // Hides the page; `result` tells why (-1 page missing, 0 background missing).
    void EndDialog(int result);
    bool Ended() const { return ended; }

    const std::wstring& PageName() const { return pageName; }
    const std::wstring& BackgroundPath() const { return backgroundPath; }
    // The full path a page element names as its background; empty for none.
    static std::wstring BackgroundOf(const StringTable& strings, const LTF::Xml::XmlNode& page);
    int MuteButton() const { return muteButton; }
    // Slot 1 to 30.
    LTF::GUI::CFxButton& Button(int slot) const;
    Subpage* FindSubpage(const std::wstring& name);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    // The page's elements now, or null after the "Page not found" box.
    std::unique_ptr<PageElements> Elements(bool reportMissing);
    // Visits each button element with its control, in page order. A run that fails (a page
    // that is gone, a malformed element) is abandoned without a message.
    void
    ForEachButton(const std::function<void(const LTF::Xml::XmlNode&, LTF::GUI::CFxButton&)>& visit);
    void ShowPageNotFound();
    bool LoadBackground(const LTF::Xml::XmlNode& page);
    void ResetButtons();
    void SetUpButton(int index, LTF::Xml::XmlNode& element);
    void TranslateTexts(LTF::GUI::CFxButton& button);
    void AddSubpage(const LTF::Xml::XmlNode& element);
    void ScheduleQueue(const std::wstring& queue);

    ActionEngine& engine;
    CMainDlg& owner;
    QPixmap background;
    int muteButton = -1;
    std::wstring backgroundPath;
    std::wstring clickSound;
    std::array<LTF::GUI::CFxButton*, PageControls::kSlotCount> buttons{};
    std::wstring pageName;
    std::wstring pagesXml;
    boost::ptr_map<std::wstring, Subpage> subpages;
    std::unique_ptr<LTF::GUI::MediaSoundSink> soundSink;
    bool ended = false;
};
