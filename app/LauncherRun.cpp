#include "app/LauncherRun.h"

#include "app/ActivationWatch.h"
#include "app/CMainDlg.h"
#include "engine/ActionEngine.h"

#include "config/LauncherContext.h"
#include "support/Directory.h"
#include "support/LogManager.h"
#include "support/Path.h"
#include "support/PathResolve.h"
#include "support/Text.h"
#include "support/VellmarException.h"
#include "update/CheckNewsUpdate.h"

using namespace Vellmar::Diagnostics;

LauncherRun::LauncherRun(LauncherContext& context)
    : context(context), root(LogManager::getLogger(L"")) {}

LauncherRun::~LauncherRun() {
    if (fileHandler)
        root->removeHandler(fileHandler.get());
}

int LauncherRun::Execute() {
    SetUpLogging();
    MethodTrace trace(root, L"CautorunApp", L"InitInstance");
    LogOpening(trace);
    const int result = context.configurationFailed ? 0 : RunDialog();
    if (trace.isEnabledFor(3))
        trace.log(3, L"Log ended\n\n\n");
    return result;
}

void LauncherRun::SetUpLogging() {
    root->setLevel(context.loggingEnabled ? 3 : 0);
    if (!context.loggingEnabled)
        return;
    const std::wstring path = context.strings.LookUp(L"CSIDL_MYDOCUMENTS") + L"/" +
                              context.strings.LookUp(L"EXE_BASENAME") + L".log";
    // A fresh account may have no Documents folder yet; the log still needs one.
    const std::wstring folder = Vellmar::RemoveFileSpec(path);
    if (!Vellmar::IsDirectoryPath(folder)) {
        try {
            Vellmar::Directory::Create(folder);
        } catch (const Vellmar::Exception& e) {
            throw LogException("Could not open log file: " + Vellmar::WideToUtf8(path) +
                               "\nIts folder could not be created: " + Vellmar::WideToUtf8(folder) +
                               "\n" + e.Message());
        }
    }
    fileHandler = std::make_unique<FileLogHandler>(path, true);
    fileHandler->setLevel(3);
    fileHandler->setFormatter(&formatter);
    root->addHandler(fileHandler.get());
}

void LauncherRun::LogOpening(MethodTrace& trace) {
    if (trace.isEnabledFor(3))
        trace.log(3, L"Log started");
    if (trace.isEnabledFor(3)) {
        std::wstring version;
        const std::wstring exe = context.strings.LookUp(L"EXE_FILE");
        LauncherContext::GetFileVersionString(exe, version, true);
        trace.log(3, L"- Exe: " + exe + L" v" + version);
    }
    if (trace.isEnabledFor(3))
        trace.log(3, L"- Command line: " + context.commandLine);
}

int LauncherRun::RunDialog() {
    ActionEngine::SetNewsUpdateJobFactory(&CheckNewsUpdate::Make);
    ActionEngine engine(context, false);
    // Declared after the engine, so that the window goes first.
    CMainDlg dialog(engine);
    const std::wstring configFile = context.strings.LookUp(L"CONFIGXML_FILE");
    dialog.initSignal.connect(
        [&engine, &dialog, configFile] { engine.Start(&dialog, configFile); });
    if (context.reloadOnDiskChange)
        dialog.WatchMedia();
    const ActivationWatch activation(dialog);
    const int result = dialog.DoModal();
    dialog.DestroyWindow();
    return result;
}
