#include "app/MediaWatch.h"

#include <QSocketNotifier>

MediaWatch::MediaWatch(const std::string& mountinfo, Arrival arrival, QObject* parent)
    : QObject(parent), watcher(mountinfo), arrival(std::move(arrival)) {
    if (watcher.Descriptor() < 0)
        return;
    // The mount table signals a change as an exceptional condition (POLLPRI).
    notifier = std::make_unique<QSocketNotifier>(watcher.Descriptor(), QSocketNotifier::Exception);
    connect(notifier.get(), &QSocketNotifier::activated, this, &MediaWatch::Check);
}

MediaWatch::~MediaWatch() = default;

void MediaWatch::Check() {
    for (const std::string& point : watcher.Changes())
        arrival(point);
}
