#pragma once

#include <atomic>
#include <map>
#include <memory>
#include <string>

namespace Vellmar::Diagnostics {

class Logger;

// One node of the dotted logger namespace. Children and attachment change only under the
// manager's mutex; each node also publishes the nearest logger at or above it atomically, so
// that a level check finds its ancestor in one step and without a lock.
class LoggerNamespaceBranch {
public:
    explicit LoggerNamespaceBranch(LoggerNamespaceBranch* parent = nullptr)
        : parent_(parent), nearest(parent ? parent->nearest.load() : nullptr) {}
    LoggerNamespaceBranch(const LoggerNamespaceBranch&) = delete;
    LoggerNamespaceBranch& operator=(const LoggerNamespaceBranch&) = delete;

    LoggerNamespaceBranch* parent() const { return parent_; }
    Logger* logger() const { return attached.load(std::memory_order_acquire); }
    std::shared_ptr<Logger> sharedLogger() const { return owner; }

    // The logger of this node or of the nearest node above it that has one.
    const std::atomic<Logger*>& nearestLogger() const { return nearest; }

    // Callers hold the manager's mutex.
    std::shared_ptr<LoggerNamespaceBranch> child(const std::wstring& component);
    std::shared_ptr<LoggerNamespaceBranch> findChild(const std::wstring& component) const;
    // False when a logger is attached already.
    bool attach(const std::shared_ptr<Logger>& logger);

private:
    void replaceNearest(Logger* previous, Logger* replacement);

    LoggerNamespaceBranch* const parent_;
    std::map<std::wstring, std::shared_ptr<LoggerNamespaceBranch>> children;
    std::shared_ptr<Logger> owner;
    std::atomic<Logger*> attached{nullptr};
    std::atomic<Logger*> nearest;
};

} // namespace Vellmar::Diagnostics
