#pragma once

#include "update/HttpRequest.h"

#include <functional>
#include <memory>
#include <string>

namespace Vellmar {

namespace Diagnostics {
class Logger;
}

// What a news-update job hands to its download step.
struct DownloadContext {
    std::wstring url;
    // Throws to stop the download (the job's abort check); polled at least every 100 ms while
    // the transfer runs, on the calling thread. May be empty.
    std::function<void()> checkAbort;
    // Receives every step at level 3; "autorun.CheckNewsUpdate" when null.
    std::shared_ptr<Diagnostics::Logger> logger;
    HttpLimits limits;
};

// Fetches context.url (http or https) with one GET into targetPath. On return the body of a
// 200 answer is complete in targetPath, or after a 404 answer no file exists there. Every
// other outcome throws, and a file this call started is removed first. Safe to call from a
// worker thread; the abort check runs on that thread.
void Download(const DownloadContext& context, const std::wstring& targetPath);

} // namespace Vellmar
