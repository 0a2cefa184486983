#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace LTF::Xml {
class XmlNode;
}

// The four state bitmaps and the duplicate flag that the `system` mute action hands to the
// mute button of every page.
struct MuteBitmaps {
    std::wstring normal;
    bool duplicate = false;
    std::wstring pushed;
    std::wstring over;
    std::wstring disabled;
};

// Everything the engine needs from its window. The engine never sees a widget; the main dialog
// implements this with Qt, tests with a recording stub. Every call but PostRunPosted comes from
// the user-interface thread, and every call back into the engine (RunTimedAction, OnQueueTimer,
// ProcessPostedCalls) must be made from the window's event loop, never from inside one of these
// calls.
class EngineHost {
public:
    virtual ~EngineHost() = default;

    // Timer 1, one-shot: after `milliseconds` the host calls ActionEngine::RunTimedAction once.
    // Starting it again replaces a pending one.
    virtual void StartTimer(int milliseconds) = 0;

    // A one-shot timer of its own per waiting queue: after `milliseconds` the host calls
    // ActionEngine::OnQueueTimer(id) once. Ids are never reused by one engine.
    virtual void StartQueueTimer(std::uint64_t id, int milliseconds) = 0;

    // Any thread. Asks for one later call of ActionEngine::ProcessPostedCalls on the
    // user-interface thread. False when there is no window to post to (the call is dropped).
    virtual bool PostRunPosted() = 0;

    // A stop-icon message box owned by the dialog window; returns when it is closed.
    virtual void ShowMessageBox(const std::wstring& caption, const std::wstring& text) = 0;

    // Creates the page windows from the `pages` section (its XML text, unexpanded). The engine
    // starts the background music itself afterwards. A page build that fails for good stops the
    // engine (ActionEngine::Stop).
    virtual void BuildPages(const std::wstring& pagesXml) = 0;

    virtual void ShowPage(const std::wstring& name) = 0;
    virtual void CyclePage() = 0;
    virtual void ShowSubpage(const std::wstring& name) = 0;

    // Re-reads every button's enabled state from ActionEngine::IsButtonDisabled.
    virtual void RefreshButtons() = 0;

    // Hands the element to every button of that name on every page; the element is valid only
    // during the call.
    virtual void SetButtonAttribute(const std::wstring& buttonName,
                                    const LTF::Xml::XmlNode* attribute) = 0;

    // Texts and tooltips again, after a language change.
    virtual void Refresh() = 0;

    virtual void UpdateMuteButtons(const MuteBitmaps& bitmaps) = 0;

    virtual void Minimize() = 0;

    // Ends the dialog's event loop (after the current event).
    virtual void Quit() = 0;

    // A font file for this process only; failures are ignored.
    virtual void AddPrivateFont(const std::wstring& path) = 0;

    // Runs `call` once from the event loop after the window's first page has been painted: at
    // once when that has happened already, and all the same when the window stays unpainted for
    // a while. For start-up work the player cannot see, so that the first page does not wait.
    virtual void AfterFirstPaint(std::function<void()> call) = 0;
};
