#pragma once

#include "support/FileLogHandler.h"
#include "support/Logger.h"
#include "support/MethodTrace.h"
#include "support/SummaryLogFormatter.h"

#include <memory>

class LauncherContext;

// One run of the launcher after the context exists: logging set up, the opening log lines,
// the main dialog while the configuration could be read, and "Log ended".
class LauncherRun {
public:
    explicit LauncherRun(LauncherContext& context);
    ~LauncherRun();
    LauncherRun(const LauncherRun&) = delete;
    LauncherRun& operator=(const LauncherRun&) = delete;

    // The main dialog's result: non-zero when start-up could show no page.
    int Execute();

private:
    void SetUpLogging();
    void LogOpening(Vellmar::Diagnostics::MethodTrace& trace);
    int RunDialog();

    LauncherContext& context;
    std::shared_ptr<Vellmar::Diagnostics::Logger> root;
    Vellmar::Diagnostics::SummaryLogFormatter formatter;
    std::unique_ptr<Vellmar::Diagnostics::FileLogHandler> fileHandler;
};
