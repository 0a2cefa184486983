#pragma once

#include "engine/EngineHost.h"

#include <boost/ptr_container/ptr_map.hpp>
#include <boost/signals2/signal.hpp>

#include <QBasicTimer>
#include <QEvent>
#include <QPoint>
#include <QWidget>

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class ActionEngine;
class CautorunDlg;
class FirstPaintCalls;
class MediaWatch;

// The launcher's window: a frameless top-level window (or, with a parent, a subpage's embedded
// host) that shows one of its pages at a time, takes that page's size, is dragged by its own
// surface, and runs the engine's timers and posted calls.
class CMainDlg : public QWidget, public EngineHost {
    Q_OBJECT

public:
    // A parent makes the instance embedded.
    explicit CMainDlg(ActionEngine& engine, QWidget* parent = nullptr);
    ~CMainDlg() override;

    bool IsEmbedded() const { return embedded; }

    // Fired once by InitDialog; the creator connects the engine's start to it.
    boost::signals2::signal<void()> initSignal;

    // The window's initialisation: fires initSignal (the pages are built and the default page
    // shown during it), then takes the focus away from every window.
    void InitDialog();
    // InitDialog, then shows the window and runs the event loop until Quit, Escape or a close
    // request; 1 without a loop when start-up stopped the engine before a page was shown.
    int DoModal();

    // False when a page of that name exists; the page is then destroyed.
    bool AddPage(const std::wstring& name, std::unique_ptr<CautorunDlg> page);
    CautorunDlg* FindPage(const std::wstring& name) const;
    std::vector<std::wstring> PageNames() const;
    const std::wstring& CurrentPage() const { return currentPage; }

    // Pages first, then this window; nothing is posted to it afterwards.
    bool DestroyWindow();

    // Watches the mount table for a new disc (when the configuration asks to reload).
    void WatchMedia(const std::string& mountinfo = "/proc/self/mountinfo");
    // A new mount point: restart the launcher from there when both files are on it.
    void OnMediaArrived(const std::string& mountPoint);
    MediaWatch* Media() const { return mediaWatch.get(); }

    // EngineHost
    void StartTimer(int milliseconds) override;
    void StartQueueTimer(std::uint64_t id, int milliseconds) override;
    bool PostRunPosted() override;
    void ShowMessageBox(const std::wstring& caption, const std::wstring& text) override;
    void BuildPages(const std::wstring& pagesXml) override;
    void ShowPage(const std::wstring& name) override;
    void CyclePage() override;
    void ShowSubpage(const std::wstring& name) override;
    void RefreshButtons() override;
    void SetButtonAttribute(const std::wstring& buttonName,
                            const LTF::Xml::XmlNode* attribute) override;
    void Refresh() override;
    void UpdateMuteButtons(const MuteBitmaps& bitmaps) override;
    void Minimize() override;
    void Quit() override;
    void AddPrivateFont(const std::wstring& path) override;
    void AfterFirstPaint(std::function<void()> call) override;

    // One of the pages has been painted.
    void PagePainted();

    static QEvent::Type RunPostedEvent();
    // Ends DoModal's event loop, or keeps it from starting when it does not run yet.
    static void RequestQuit();

protected:
    bool event(QEvent* event) override;
    void timerEvent(QTimerEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    ActionEngine& engine;
    const bool embedded;
    boost::ptr_map<std::wstring, CautorunDlg> pages;
    std::wstring currentPage;
    QBasicTimer timedActionTimer;
    std::map<int, std::uint64_t> queueTimers; // Qt timer id to queue timer id
    std::optional<QPoint> dragOffset;         // set while the window is moved by hand
    std::unique_ptr<MediaWatch> mediaWatch;
    FirstPaintCalls* afterPaint; // a child of this window
    bool destroyed = false;
};
