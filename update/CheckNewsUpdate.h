#pragma once

#include "engine/NewsUpdateJob.h"
#include "support/CommitDirectory.h"
#include "update/HttpRequest.h"
#include "update/WorkFolder.h"

#include <atomic>
#include <memory>
#include <string>
#include <thread>

namespace Vellmar::Diagnostics {
class Logger;
class MethodTrace;
} // namespace Vellmar::Diagnostics

// Bounds and moves of a news update; the defaults are the product's, tests tighten them.
struct NewsUpdateOptions {
    Vellmar::HttpLimits limits;
    Vellmar::CommitMoves moves = Vellmar::DefaultCommitMoves();
};

// One news update: download the archive at `url`, unpack it beside `location` and put the
// result in place of `location`, on a worker thread of its own. The outcome's branch runs
// on the user-interface thread through the engine's posted calls. Destroying the job stops
// the transfer and waits for the worker, which then takes the failure path.
class CheckNewsUpdate : public NewsUpdateJob {
public:
    explicit CheckNewsUpdate(ActionEngine& engine, NewsUpdateOptions options = {});
    CheckNewsUpdate(ActionEngine& engine, NewsUpdateRequest request,
                    NewsUpdateOptions options = {});
    ~CheckNewsUpdate() override;
    CheckNewsUpdate(const CheckNewsUpdate&) = delete;
    CheckNewsUpdate& operator=(const CheckNewsUpdate&) = delete;

    // The factory the application installs with ActionEngine::SetNewsUpdateJobFactory.
    static std::unique_ptr<NewsUpdateJob> Make(ActionEngine& engine, NewsUpdateRequest request);

    void Start() override;
    // The whole job; runs on the worker thread.
    void operator()();
    void Abort();
    // Throws std::runtime_error("CheckNewsUpdate aborted") once Abort has been asked for.
    void CheckAbort() const;
    bool HasInternetConnection() const;

    void Download(const std::wstring& targetPath);
    // Returns the new work folder beside the news folder that holds the unpacked archive.
    WorkFolder Unpack(const std::wstring& newsRoot, const std::wstring& archivePath);

private:
    void Update(const Vellmar::Diagnostics::MethodTrace& trace);
    WorkFolder FetchAndUnpack(const Vellmar::Diagnostics::MethodTrace& trace,
                              const std::wstring& tempDir, const std::wstring& newsRoot);
    void PostOutcome(const std::wstring& actionsXml);
    std::wstring Expand(const std::wstring& text) const;
    void UnpackInto(const Vellmar::Diagnostics::MethodTrace& trace, const std::wstring& unpackDir,
                    const std::wstring& archivePath);

    std::wstring failureActionsXml;
    std::wstring location;
    std::thread thread;
    std::wstring successActionsXml;
    std::wstring url;
    std::atomic<bool> abortEvent{false};
    std::shared_ptr<Vellmar::Diagnostics::Logger> logger;
    ActionEngine& engine;
    NewsUpdateOptions options;
};
