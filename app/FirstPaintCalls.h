#pragma once

#include <QObject>
#include <QTimer>

#include <functional>
#include <vector>

// Calls that wait for a window's first painted page, each run once from the event loop. A
// window that stays unpainted (kept minimised, say) runs them after kFallbackMs all the same.
class FirstPaintCalls : public QObject {
public:
    static constexpr int kFallbackMs = 500;

    explicit FirstPaintCalls(QObject* parent = nullptr);

    void Add(std::function<void()> call);
    // A page has been painted; the waiting calls run once the event loop is back.
    void Painted();
    // Drops what waits: the window is going.
    void Clear();

private:
    void RunAll();

    std::vector<std::function<void()>> waiting;
    QTimer fallback;
    bool painted = false;
};
