#include "app/CautorunApp.h"

#include "app/QtMessageBox.h"
#include "config/CommandLine.h"

#include <QApplication>

using namespace Vellmar;

int CautorunApp::Run(int argc, char** argv) {
    QApplication application(argc, argv);
    Ui::QtMessageBox messageBox;
    MessageBoxService* previous = MessageBoxService::Install(&messageBox);
    const CommandLine commandLine = CommandLine::Parse(CommandLine::Join(argc, argv));
    if (commandLine.usage) {
        messageBox.Show(L"Arguments", commandLine.displayName + kUsageText, MessageIcon::None);
        MessageBoxService::Install(previous);
        return 0;
    }
    MessageBoxService::Install(previous);
    return 0;
}
