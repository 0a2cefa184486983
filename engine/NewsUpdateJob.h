#pragma once

#include <functional>
#include <memory>
#include <string>

class ActionEngine;

// What a `newsupdate` condition asks for: where the news go, where they come from, and the
// serialised `false` and `true` branches (empty when absent).
struct NewsUpdateRequest {
    std::wstring location;
    std::wstring url;
    std::wstring failureActionsXml;
    std::wstring successActionsXml;
};

// A background news update owned by the engine. The engine never includes the update layer;
// the application installs a factory (ActionEngine::SetNewsUpdateJobFactory). When the work
// ends, the job hands the branch of its outcome back with ActionEngine::PostToUiThread (for
// instance a call of ActionEngine::ExecuteActionXml).
class NewsUpdateJob {
public:
    // Aborts the work and waits for the worker thread.
    virtual ~NewsUpdateJob() = default;
    // Starts the worker thread; called once, on the user-interface thread.
    virtual void Start() = 0;
};

using NewsUpdateJobFactory =
    std::function<std::unique_ptr<NewsUpdateJob>(ActionEngine& engine, NewsUpdateRequest request)>;
