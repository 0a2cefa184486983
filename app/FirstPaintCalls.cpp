#include "app/FirstPaintCalls.h"

#include <utility>

FirstPaintCalls::FirstPaintCalls(QObject* parent) : QObject(parent) {
    fallback.setSingleShot(true);
    connect(&fallback, &QTimer::timeout, this, &FirstPaintCalls::RunAll);
}

void FirstPaintCalls::Add(std::function<void()> call) {
    waiting.push_back(std::move(call));
    if (painted)
        QTimer::singleShot(0, this, &FirstPaintCalls::RunAll);
    else if (!fallback.isActive())
        fallback.start(kFallbackMs);
}

void FirstPaintCalls::Painted() {
    if (painted)
        return;
    painted = true;
    fallback.stop();
    // Not from inside the paint: the page reaches the screen first.
    QTimer::singleShot(0, this, &FirstPaintCalls::RunAll);
}

void FirstPaintCalls::Clear() {
    waiting.clear();
    fallback.stop();
}

void FirstPaintCalls::RunAll() {
    for (auto calls = std::exchange(waiting, {}); auto& call : calls)
        call();
}
