#pragma once

#include "engine/BackgroundMusic.h"
#include "engine/DelayRecord.h"
#include "engine/EngineHost.h"
#include "engine/NamedMutex.h"
#include "engine/NewsUpdateJob.h"
#include "engine/PostedCallQueue.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

class LauncherContext;
class ActionHandlers;
class ConditionHandlers;
class UpdateHandlers;

namespace LTF::Xml {
class XmlNode;
}

// The behaviour engine of one launcher window: the configuration's behavioural sections, the
// initialization, named action queues with their delays, dispatch of action elements to their
// handlers, named conditions, the single timed action, and calls carried from worker threads
// to the user-interface thread. Everything but PostToUiThread runs on the user-interface
// thread.
//
// Every failure inside a run (the initialization, a queue, a condition, a timed action, a
// posted call, the page build, one action started by a button) is caught and abandons that
// run without a message. Synchronous nesting of queues and conditions is bounded by
// kMaxNesting; past it the whole run that led there is abandoned.
class ActionEngine {
public:
    using Handler = std::function<void(LTF::Xml::XmlNode*)>;
    using HandlerMap = std::map<std::wstring, Handler>;
    using Call = std::function<void()>;

    static constexpr int kMaxNesting = 64;
    static constexpr const wchar_t* kDefaultMutexName = L"GenericVellmarApp";

    // `secondary`: an embedded launcher's engine, which leaves the media and its mutex alone
    // when destroyed. `media`: null for the process-wide player.
    ActionEngine(LauncherContext& context, bool secondary,
                 std::shared_ptr<Vellmar::Platform::MediaPlayer> media = nullptr);
    ActionEngine(const ActionEngine&) = delete;
    ActionEngine& operator=(const ActionEngine&) = delete;
    // Stops the news jobs; unless secondary closes all media and gives the mutex up.
    ~ActionEngine();

    // Reads the sections; a missing, unreadable or malformed file is shown and sets loadFailed.
    void Load(const std::wstring& configPath);
    // Load, the initialization, the pages (then the music, which sounds once the window has been
    // painted), the default page, the news jobs; each step after the initialization only while
    // not stopped.
    void Start(EngineHost* host, const std::wstring& configPath);
    // Load, the initialization with only what reads and changes the look, the pages and the
    // default page, for a picture of them: no delay, page queue, music or news job runs.
    void Preview(EngineHost* host, const std::wstring& configPath);
    void RunInitialization();
    void RunActionQueue(const std::wstring& name, int startIndex);
    // Runs the element now, or schedules it when it has a `delay` attribute. Null does nothing.
    void ExecuteAction(LTF::Xml::XmlNode* action);
    // Parses the text and runs its document element as an action.
    void ExecuteActionXml(const std::wstring& actionXml);
    void RunCondition(const std::wstring& name);
    // The `update` action: the handler named by `updatetype`.
    void RunUpdate(LTF::Xml::XmlNode* update);
    void ScheduleTimedAction(const std::wstring& actionXml, int delayMs);

    // Host callbacks.
    void RunTimedAction();
    void OnQueueTimer(std::uint64_t id);
    void ProcessPostedCalls();

    // Any thread. Dropped when there is no host window.
    void PostToUiThread(Call call);
    // The host is going away: nothing is posted to it any more. Any thread.
    void DetachHost();

    bool IsStopped() const { return stopped; }
    // The launcher is closing (also called by the page build when a page's file is missing).
    void Stop() { stopped = true; }
    bool IsMuted() const { return music.IsMuted(); }
    bool IsLoadFailed() const { return loadFailed; }
    bool IsSecondary() const { return secondary; }
    bool IsDelayPending() const { return delayPending; }
    bool HasTimedAction() const { return static_cast<bool>(timedAction); }
    std::size_t PendingDelayCount() const { return delays.size(); }

    // The table of `enablebutton`: a button not named there is enabled.
    bool IsButtonDisabled(const std::wstring& buttonName) const;
    void SetButtonDisabled(const std::wstring& buttonName, bool disabled);

    const std::wstring& PagesXml() const { return pagesXml; }
    const std::wstring& DefaultPageName() const { return defaultPageName; }

    LauncherContext& Context() { return context; }
    EngineHost* Host() const { return host; }
    BackgroundMusic& Music() { return music; }
    // The player for button sounds and music alike.
    Vellmar::Platform::MediaPlayer& Media() { return music.Player(); }

    // Shows a stop-icon box captioned "error_title": through the host when there is one.
    void ShowError(const std::wstring& text);

    // The `setmutex` mutex: false when one is already held.
    bool TakeMutex(const std::wstring& name);
    bool HoldsMutex() const { return static_cast<bool>(heldMutex); }
    void ReleaseMutex();

    // `newsupdate`: the job is kept until the engine is destroyed and started at once once
    // Start has finished, else at its end. Nothing happens without a factory.
    void AddNewsUpdateJob(NewsUpdateRequest request);
    std::size_t NewsUpdateJobCount() const { return newsUpdateJobs.size(); }
    // Process-wide; installed by the application, which owns the update layer.
    static void SetNewsUpdateJobFactory(NewsUpdateJobFactory factory);

private:
    void LoadSections(const std::wstring& configPath);
    void BuildPages();
    void StartMusicFromPages();
    void StartNewsUpdateJobs();
    void RunQueueChildren(const std::wstring& name, LTF::Xml::XmlNode& queue, int startIndex);
    void WaitOnDelay(const std::wstring& name, int nextIndex, LTF::Xml::XmlNode& delay);
    void Dispatch(LTF::Xml::XmlNode& action);
    // Runs `body` as (part of) a run: see the class comment. `nestingLevel`: a queue or a
    // condition, which counts towards kMaxNesting and ends its own run on a failure.
    void Guarded(bool nestingLevel, const std::function<void()>& body);

    LauncherContext& context;
    std::unique_ptr<NamedMutex> heldMutex;
    std::atomic<EngineHost*> host{nullptr};
    HandlerMap actionHandlers;
    HandlerMap conditionHandlers;
    HandlerMap updateHandlers;
    std::vector<std::unique_ptr<NewsUpdateJob>> newsUpdateJobs;
    PostedCallQueue postedCalls;
    Call timedAction;
    BackgroundMusic music;
    std::map<std::wstring, bool> disabledButtons;
    std::wstring actionQueuesXml;
    std::wstring conditionsXml;
    std::wstring initializationXml;
    std::wstring pagesXml;
    std::wstring defaultPageName;
    std::map<std::uint64_t, DelayRecord> delays;
    std::uint64_t nextDelayId = 1;
    int nesting = 0;
    bool delayPending = false;
    bool loadFailed = false;
    bool stopped = false;
    bool startupComplete = false;
    bool previewing = false;
    const bool secondary;
    std::unique_ptr<ActionHandlers> actions;
    std::unique_ptr<ConditionHandlers> conditions;
    std::unique_ptr<UpdateHandlers> updates;
};
