#pragma once

#include "engine/EngineHost.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

class ActionEngine;

namespace Vellmar::Testing {

// A window for the engine that records what it is asked to do and fires its timers and posted
// calls only when the test says so, on a clock of its own (nothing sleeps).
class StubHost : public EngineHost {
public:
    void Attach(ActionEngine& target) { engine = &target; }

    void StartTimer(int milliseconds) override {
        Record(L"StartTimer(" + std::to_wstring(milliseconds) + L")");
        timer = Due{now + milliseconds, order++};
    }
    void StartQueueTimer(std::uint64_t id, int milliseconds) override {
        Record(L"StartQueueTimer(" + std::to_wstring(milliseconds) + L")");
        queueTimers[id] = Due{now + milliseconds, order++};
    }
    bool PostRunPosted() override { return hasWindow && ++postedAnnouncements; }
    void ShowMessageBox(const std::wstring& caption, const std::wstring& text) override {
        messageBoxes.emplace_back(caption, text);
    }
    void BuildPages(const std::wstring& pagesXml) override {
        Record(L"BuildPages()");
        builtPages.push_back(pagesXml);
    }
    void ShowPage(const std::wstring& name) override { Record(L"ShowPage(" + name + L")"); }
    void CyclePage() override { Record(L"CyclePage()"); }
    void ShowSubpage(const std::wstring& name) override { Record(L"ShowSubpage(" + name + L")"); }
    void RefreshButtons() override { Record(L"RefreshButtons()"); }
    void SetButtonAttribute(const std::wstring& buttonName,
                            const LTF::Xml::XmlNode* attribute) override;
    void Refresh() override { Record(L"Refresh()"); }
    void UpdateMuteButtons(const MuteBitmaps& bitmaps) override {
        Record(L"UpdateMuteButtons()");
        muteUpdates.push_back(bitmaps);
    }
    void Minimize() override { Record(L"Minimize()"); }
    void Quit() override { Record(L"Quit()"); }
    void AddPrivateFont(const std::wstring& path) override {
        Record(L"AddPrivateFont(" + path + L")");
    }
    void AfterFirstPaint(std::function<void()> call) override {
        Record(L"AfterFirstPaint()");
        afterPaint.push_back(std::move(call));
    }

    // The window's first paint: runs what waited for it so far, as the event loop would.
    void Paint();

    // Moves the clock on, firing every timer that falls due on the way in due order (timer 1
    // and queue timers alike). Returns how many fired.
    int Advance(int milliseconds);
    // Fires whatever is pending, however far away, until nothing is left or `limit` timers
    // have fired. Returns how many fired.
    int RunAllTimers(int limit = 10000);
    // Has the engine process its posted calls when any were announced; returns the number of
    // announcements consumed.
    int DeliverPosted();

    // "ShowPage(name)", "Quit()", ... in call order.
    std::vector<std::wstring> calls;
    std::vector<std::pair<std::wstring, std::wstring>> messageBoxes; // caption, text
    std::vector<std::wstring> buttonAttributeXml;
    std::vector<MuteBitmaps> muteUpdates;
    std::vector<std::wstring> builtPages;
    std::atomic<int> postedAnnouncements{0};
    bool hasWindow = true;

private:
    struct Due {
        long long at;
        std::uint64_t order;
    };
    bool FireNext(long long until);
    void Record(std::wstring call) { calls.push_back(std::move(call)); }

    ActionEngine* engine = nullptr;
    long long now = 0;
    std::uint64_t order = 0;
    std::optional<Due> timer;
    std::map<std::uint64_t, Due> queueTimers; // by queue timer id
    std::vector<std::function<void()>> afterPaint;
};

} // namespace Vellmar::Testing
