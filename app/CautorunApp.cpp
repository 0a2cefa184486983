#include "app/CautorunApp.h"

#include "app/Accessibility.h"
#include "app/AuthorTools.h"
#include "app/DisplayCheck.h"
#include "app/KeyFilter.h"
#include "app/LauncherRun.h"
#include "app/QtMessageBox.h"
#include "app/WindowIcon.h"
#include "config/CommandLine.h"
#include "config/LauncherContext.h"
#include "support/Path.h"
#include "support/Text.h"
#include "support/VellmarException.h"

#include <QApplication>

#include <cstdio>

using namespace Vellmar;

namespace {

// Keeps the real message box installed for exactly the life of the application object.
class InstalledMessageBox {
public:
    InstalledMessageBox() : previous(MessageBoxService::Install(&box)) {}
    ~InstalledMessageBox() { MessageBoxService::Install(previous); }
    MessageBoxService& Box() { return box; }

private:
    Ui::QtMessageBox box;
    MessageBoxService* previous;
};

// Qt's own start-up chatter (no runtime folder and the like) is not the launcher's to report.
void QuietMessageHandler(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtDebugMsg || type == QtInfoMsg ||
        message.startsWith(QLatin1String("QStandardPaths:")))
        return;
    std::fprintf(stderr, "%s\n", message.toUtf8().constData());
}

} // namespace

int CautorunApp::Run(int argc, char** argv) {
    // Every switch belongs to the configuration's command line; the toolkit would take some
    // (-reverse, -style, -name, ...) for itself, so it is given the program name only.
    const std::wstring commandLine = CommandLine::Join(argc, argv);
    char fallbackName[] = "autorun";
    char* toolkitArgv[] = {argc > 0 ? argv[0] : fallbackName, nullptr};
    int toolkitArgc = 1;
    qInstallMessageHandler(QuietMessageHandler);
    if (const auto tool = AuthorTools::Parse(argc, argv))
        return AuthorTools::Run(*tool, commandLine, toolkitArgc, toolkitArgv);
    // The tools draw offscreen; only the launcher's own window needs a display.
    if (const std::string missing = DisplayCheck::MissingDisplay(); !missing.empty()) {
        std::fprintf(stderr, "%s\n", missing.c_str());
        return 1;
    }
    QApplication application(toolkitArgc, toolkitArgv);
    QApplication::setQuitOnLastWindowClosed(false);
    InstallAccessibility();
    KeyFilter keys;
    application.installEventFilter(&keys);
    InstalledMessageBox messageBox;
    const CommandLine parsed = CommandLine::Parse(commandLine);
    if (parsed.usage) {
        messageBox.Box().Show(L"Arguments", parsed.displayName + kUsageText, MessageIcon::None);
        return 0;
    }
    try {
        return RunLauncher(commandLine);
    } catch (const Vellmar::Exception& e) {
        messageBox.Box().Show(L"Error", Utf8ToWide(e.Message()), MessageIcon::Stop);
    } catch (const std::exception& e) {
        messageBox.Box().Show(L"Error", Utf8ToWide(e.what()), MessageIcon::Stop);
    }
    return 1;
}

int CautorunApp::RunLauncher(const std::wstring& commandLine) {
    auto context = std::make_shared<LauncherContext>();
    LauncherContext::SetCurrent(context);
    context->Start(CommandLine::Parse(commandLine), Vellmar::ExecutablePath());
    WindowIcon::Apply(context->strings.LookUp(L"CONFIGXML_FILE"));
    LauncherRun run(*context);
    const int result = run.Execute();
    LauncherContext::SetCurrent(nullptr);
    return context->configurationFailed ? 1 : result;
}
