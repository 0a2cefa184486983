#include "app/WindowIcon.h"

#include "support/PathResolve.h"
#include "support/Text.h"

#include <QApplication>
#include <QIcon>
#include <QPixmap>
#include <QString>

std::wstring WindowIcon::FileFor(const std::wstring& configurationFile) {
    const std::size_t dot = configurationFile.rfind(L'.');
    const std::size_t slash = configurationFile.find_last_of(L"/\\");
    if (configurationFile.empty() || dot == std::wstring::npos ||
        (slash != std::wstring::npos && dot < slash))
        return {};
    const std::wstring icon = configurationFile.substr(0, dot) + L".png";
    return Vellmar::PathExists(icon) ? Vellmar::ResolvePath(icon) : std::wstring();
}

void WindowIcon::Apply(const std::wstring& configurationFile) {
    const std::wstring own = FileFor(configurationFile);
    QPixmap pixmap;
    if (!own.empty())
        pixmap.load(QString::fromStdString(Vellmar::WideToUtf8(own)));
    if (pixmap.isNull())
        pixmap.load(QStringLiteral(":/vellmar/vellmar-launcher.png"));
    QApplication::setWindowIcon(QIcon(pixmap));
    // Wayland compositors take the icon from the desktop entry of this name.
    QGuiApplication::setDesktopFileName(QStringLiteral("vellmar-launcher"));
}
