#include "app/QtMessageBox.h"

#include <QApplication>
#include <QMessageBox>

#include <cstdlib>
#include <cstring>

namespace Vellmar::Ui {

bool QtMessageBox::NonInteractive() {
    const char* value = std::getenv("AUTORUN_NONINTERACTIVE");
    return value && std::strcmp(value, "1") == 0;
}

void QtMessageBox::Show(const std::wstring& caption, const std::wstring& text, MessageIcon icon) {
    if (NonInteractive() || !QApplication::instance()) {
        stderrBox.Show(caption, text, icon);
        return;
    }
    QMessageBox box(icon == MessageIcon::Stop ? QMessageBox::Critical : QMessageBox::NoIcon,
                    QString::fromStdWString(caption), QString::fromStdWString(text),
                    QMessageBox::Ok);
    box.exec();
}

} // namespace Vellmar::Ui
