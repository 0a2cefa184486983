#include "app/ActivationWatch.h"

#include "platform/ActivationSocket.h"
#include "platform/X11Session.h"

#include <QGuiApplication>
#include <QSocketNotifier>
#include <QWidget>

using Vellmar::Platform::ActivationSocket;

ActivationWatch::ActivationWatch(QWidget& window) : window(window) {
    ActivationSocket::SetObserver(
        [this](ActivationSocket& socket, bool listening) { Watch(socket, listening); });
}

ActivationWatch::~ActivationWatch() {
    ActivationSocket::SetObserver(nullptr);
}

void ActivationWatch::Watch(ActivationSocket& socket, bool listening) {
    if (!listening) {
        notifiers.erase(&socket);
        return;
    }
    auto notifier = std::make_unique<QSocketNotifier>(socket.Fd(), QSocketNotifier::Read);
    connect(notifier.get(), &QSocketNotifier::activated, this, [this, &socket] {
        if (const auto token = socket.Accept(); token && window.isVisible())
            Activate(window, *token);
    });
    notifiers[&socket] = std::move(notifier);
}

void ActivationWatch::Activate(QWidget& window, const std::string& token) {
    if (QGuiApplication::platformName() == QLatin1String("xcb")) {
        // As a pager asks: X11 window managers honour it whatever their focus rules.
        const Vellmar::Platform::X11Session session;
        if (session.IsOpen()) {
            session.Activate(window.winId());
            return;
        }
    }
    if (window.isMinimized())
        window.setWindowState(window.windowState() & ~Qt::WindowMinimized);
    window.raise();
    // Qt's Wayland window hands this token to the compositor's activation request.
    if (!token.empty())
        qputenv("XDG_ACTIVATION_TOKEN", QByteArray::fromStdString(token));
    window.activateWindow();
}
