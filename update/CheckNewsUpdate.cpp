#include "update/CheckNewsUpdate.h"

#include "config/LauncherContext.h"
#include "engine/ActionEngine.h"
#include "platform/InternetConnection.h"
#include "platform/RegistryStore.h"
#include "support/Directory.h"
#include "support/LogManager.h"
#include "support/MethodTrace.h"
#include "support/Path.h"
#include "support/PathResolve.h"
#include "support/Text.h"
#include "support/UniqueName.h"
#include "support/VellmarException.h"
#include "update/Download.h"
#include "update/RarArchive.h"
#include "update/WorkFolder.h"

#include <unistd.h>

#include <stdexcept>

using Vellmar::Diagnostics::MethodTrace;

namespace {

constexpr wchar_t LoggerName[] = L"autorun.CheckNewsUpdate";
constexpr wchar_t LibraryName[] = L"libunrar.so";

// A log that cannot be written must not change the job's outcome, nor end the process from
// the worker thread.
void Log(const MethodTrace& trace, const std::wstring& message) noexcept {
    try {
        if (trace.isEnabledFor(3))
            trace.log(3, message);
    } catch (const std::exception&) {
    }
}

// The outcome of a failed step is already decided; a file that cannot be removed changes
// nothing about it.
void DeleteFileQuietly(const std::wstring& path) {
    ::unlink(Vellmar::WideToUtf8(path).c_str());
}

} // namespace

CheckNewsUpdate::CheckNewsUpdate(ActionEngine& engine, NewsUpdateOptions options)
    : logger(Vellmar::Diagnostics::LogManager::getLogger(LoggerName)), engine(engine),
      options(std::move(options)) {}

CheckNewsUpdate::CheckNewsUpdate(ActionEngine& engine, NewsUpdateRequest request,
                                 NewsUpdateOptions options)
    : CheckNewsUpdate(engine, std::move(options)) {
    failureActionsXml = std::move(request.failureActionsXml);
    location = std::move(request.location);
    successActionsXml = std::move(request.successActionsXml);
    url = std::move(request.url);
}

CheckNewsUpdate::~CheckNewsUpdate() {
    Abort();
}

std::unique_ptr<NewsUpdateJob> CheckNewsUpdate::Make(ActionEngine& engine,
                                                     NewsUpdateRequest request) {
    return std::make_unique<CheckNewsUpdate>(engine, std::move(request));
}

void CheckNewsUpdate::Start() {
    // A job runs once: a stopped or already started job stays as it is.
    if (thread.joinable() || abortEvent)
        return;
    thread = std::thread([this] { (*this)(); });
}

void CheckNewsUpdate::Abort() {
    abortEvent = true;
    if (thread.joinable())
        thread.join();
}

void CheckNewsUpdate::CheckAbort() const {
    if (abortEvent)
        throw std::runtime_error("CheckNewsUpdate aborted");
}

bool CheckNewsUpdate::HasInternetConnection() const {
    return Vellmar::Platform::InternetConnection::HasInternetConnection(
        Vellmar::Platform::RegistryStore());
}

void CheckNewsUpdate::operator()() {
    const MethodTrace trace(logger, L"CheckNewsUpdate", L"operator()");
    try {
        location = Expand(location);
        url = Expand(url);
        Log(trace, L"Checking internet connection status");
        if (HasInternetConnection())
            Update(trace);
        Log(trace, L"News update complete.");
        PostOutcome(successActionsXml);
    } catch (const std::exception& failure) {
        Log(trace, L"News update failed.");
        Log(trace, L"- error: " + Vellmar::Utf8ToWide(Vellmar::DescribeException(failure)));
        PostOutcome(failureActionsXml);
    }
}

void CheckNewsUpdate::Update(const MethodTrace& trace) {
    Log(trace, L"Attempting update");
    // "news\\" names the folder itself, not an entry inside it.
    const std::wstring target = Vellmar::WithoutTrailingSeparators(Vellmar::Canonicalize(location));
    Log(trace, L"- location: " + target);
    const std::wstring newsRoot = Vellmar::RemoveFileSpec(target);
    Log(trace, L"- news root: " + newsRoot);
    const std::wstring tempDir = Vellmar::GetTemporaryDirectory();
    Log(trace, L"- temp dir: " + tempDir);
    for (const std::wstring& folder : {tempDir, newsRoot})
        for (const std::wstring& removed : WorkFolder::RemoveAbandoned(folder))
            Log(trace, L"- removed abandoned work: " + removed);

    WorkFolder unpacked = FetchAndUnpack(trace, tempDir, newsRoot);
    Vellmar::CommitLeftover leftover;
    try {
        leftover = Vellmar::CommitDirectory(target, unpacked.Path(), options.moves);
    } catch (const std::exception&) {
        unpacked.Delete();
        Log(trace, L"Commit failed. Deleting directory " + unpacked.Path());
        throw;
    }
    if (!leftover.path.empty())
        Log(trace, L"- could not remove the old news at " + leftover.path + L": " +
                       Vellmar::Utf8ToWide(leftover.error));
    Log(trace, L"Committed " + unpacked.Path() + L" to " + target);
}

WorkFolder CheckNewsUpdate::FetchAndUnpack(const MethodTrace& trace, const std::wstring& tempDir,
                                           const std::wstring& newsRoot) {
    // The download lies in a work folder of its own, so that a killed launcher's partial file
    // can be told from a running one's.
    WorkFolder downloads = WorkFolder::Create(tempDir);
    try {
        const std::wstring archive = Vellmar::TryWithUniqueName(
            [this](const std::wstring& path) { Download(path); }, downloads.Path(), L"");
        if (!Vellmar::PathExists(archive))
            throw std::runtime_error("CheckNewsUpdate download produced no file.");
        Log(trace, L"Downloaded to: " + archive);
        WorkFolder unpacked;
        try {
            unpacked = Unpack(newsRoot, archive);
        } catch (const std::exception&) {
            DeleteFileQuietly(archive);
            Log(trace, L"Unpack failed. Deleting " + archive);
            throw;
        }
        Log(trace, L"Unpacked to: " + unpacked.Path());
        DeleteFileQuietly(archive);
        Log(trace, L"Deleted: " + archive);
        downloads.Delete();
        return unpacked;
    } catch (const std::exception&) {
        downloads.Delete();
        throw;
    }
}

void CheckNewsUpdate::Download(const std::wstring& targetPath) {
    Vellmar::Download(
        Vellmar::DownloadContext{url, [this] { CheckAbort(); }, logger, options.limits},
        targetPath);
}

WorkFolder CheckNewsUpdate::Unpack(const std::wstring& newsRoot, const std::wstring& archivePath) {
    const MethodTrace trace(logger, L"CheckNewsUpdate", L"Unpack");
    Log(trace, L"Unpacking");
    Log(trace, L"- archive: " + archivePath);
    WorkFolder unpackDir = WorkFolder::Create(newsRoot);
    Log(trace, L"- unpack directory: " + unpackDir.Path());
    try {
        UnpackInto(trace, unpackDir.Path(), archivePath);
        return unpackDir;
    } catch (const std::exception&) {
        Log(trace, L"Unpack failed, deleting unpack dir");
        unpackDir.Delete();
        throw;
    }
}

void CheckNewsUpdate::UnpackInto(const MethodTrace& trace, const std::wstring& unpackDir,
                                 const std::wstring& archivePath) {
    const std::wstring binDir = engine.Context().strings.LookUp(L"BINARIES_DIR");
    Log(trace, L"- binaries dir: " + binDir);
    std::unique_ptr<RarArchive> archive;
    if (!binDir.empty()) {
        const std::wstring library = Vellmar::Append(Vellmar::Canonicalize(binDir), LibraryName);
        Log(trace, L"- unrardll: " + library);
        archive = std::make_unique<RarArchive>(library);
    } else {
        archive = std::make_unique<RarArchive>();
    }
    Log(trace, L"- opening rar");
    archive->open(Vellmar::WideToUtf8(archivePath), RAR_OM_EXTRACT);
    const std::string destination = Vellmar::WideToUtf8(unpackDir);
    while (archive->items().next()) {
        CheckAbort();
        Log(trace, L"- extracting: " + Vellmar::Utf8ToWide(archive->items().fileName()));
        archive->items().extractToPath(destination);
    }
    Log(trace, L"Unpacked");
    archive->close();
}

void CheckNewsUpdate::PostOutcome(const std::wstring& actionsXml) {
    // An absent branch does nothing; posting it would only log a failed parse.
    if (actionsXml.empty())
        return;
    engine.PostToUiThread([&target = engine, actionsXml] { target.ExecuteActionXml(actionsXml); });
}

std::wstring CheckNewsUpdate::Expand(const std::wstring& text) const {
    return engine.Context().strings.Expand(text);
}
