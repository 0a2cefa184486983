#pragma once

#include <QObject>

#include <map>
#include <memory>
#include <string>

class QSocketNotifier;
class QWidget;

namespace Vellmar::Platform {
class ActivationSocket;
}

// The first launcher's side of "bring to front": watches the activation sockets of the names
// this process holds and, when a second launcher asks, restores, raises and activates `window`.
class ActivationWatch : public QObject {
    Q_OBJECT

public:
    explicit ActivationWatch(QWidget& window);
    ~ActivationWatch() override;

    // Restores, raises and activates `window`, with the asker's activation token when it had one
    // (Wayland lets a window come forward only with a token).
    static void Activate(QWidget& window, const std::string& token);

private:
    void Watch(Vellmar::Platform::ActivationSocket& socket, bool listening);

    QWidget& window;
    std::map<Vellmar::Platform::ActivationSocket*, std::unique_ptr<QSocketNotifier>> notifiers;
};
