#pragma once

#include "platform/MountWatcher.h"

#include <QObject>

#include <functional>
#include <memory>
#include <string>

class QSocketNotifier;

// Tells about newly mounted media while the event loop runs.
class MediaWatch : public QObject {
    Q_OBJECT

public:
    using Arrival = std::function<void(const std::string& mountPoint)>;

    MediaWatch(const std::string& mountinfo, Arrival arrival, QObject* parent = nullptr);
    ~MediaWatch() override;

    const Vellmar::Platform::MountWatcher& Mounts() const { return watcher; }

    // Reads the table again and reports each new mount point; the notifier calls it.
    void Check();

private:
    Vellmar::Platform::MountWatcher watcher;
    Arrival arrival;
    std::unique_ptr<QSocketNotifier> notifier;
};
