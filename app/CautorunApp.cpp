#include "app/CautorunApp.h"

#include "app/DisplayCheck.h"
#include "app/KeyFilter.h"
#include "app/LauncherRun.h"
#include "app/QtMessageBox.h"
#include "app/WindowIcon.h"
#include "config/CommandLine.h"
#include "config/LauncherContext.h"
#include "support/Text.h"
#include "support/VellmarException.h"

#include <QApplication>

#include <unistd.h>

#include <climits>
#include <cstdio>
#include <vector>

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

} // namespace

std::wstring CautorunApp::ExecutablePath() {
    std::vector<char> buffer(PATH_MAX + 1);
    const ssize_t length = ::readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
    if (length <= 0)
        return {};
    return Utf8ToWide(std::string(buffer.data(), static_cast<std::size_t>(length)));
}

namespace {

// Qt's own start-up chatter (no runtime folder and the like) is not the launcher's to report.
void QuietMessageHandler(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtDebugMsg || type == QtInfoMsg ||
        message.startsWith(QLatin1String("QStandardPaths:")))
        return;
    std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
}

} // namespace

int CautorunApp::Run(int argc, char** argv) {
    if (const std::string missing = DisplayCheck::MissingDisplay(); !missing.empty()) {
        std::fprintf(stderr, "%s\n", missing.c_str());
        return 1;
    }
    qInstallMessageHandler(QuietMessageHandler);
    QApplication application(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    KeyFilter keys;
    application.installEventFilter(&keys);
    InstalledMessageBox messageBox;
    const std::wstring commandLine = CommandLine::Join(argc, argv);
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
    context->Start(CommandLine::Parse(commandLine), ExecutablePath());
    WindowIcon::Apply(context->strings.LookUp(L"CONFIGXML_FILE"));
    LauncherRun run(*context);
    run.Execute();
    LauncherContext::SetCurrent(nullptr);
    return context->configurationFailed ? 1 : 0;
}
