#pragma once

#include <atomic>
#include <map>
#include <memory>
#include <string>

namespace Vellmar::Diagnostics {

class Logger;

// One node of the dotted logger namespace. Children and attachment change only under the
// manager's mutex; the attached logger is also published atomically so that level checks can
// walk up the tree without a lock.
class LoggerNamespaceBranch {
public:
    explicit LoggerNamespaceBranch(LoggerNamespaceBranch* parent = nullptr) : parent_(parent) {}
    LoggerNamespaceBranch(const LoggerNamespaceBranch&) = delete;
    LoggerNamespaceBranch& operator=(const LoggerNamespaceBranch&) = delete;

    LoggerNamespaceBranch* parent() const { return parent_; }
    Logger* logger() const { return attached.load(std::memory_order_acquire); }
    std::shared_ptr<Logger> sharedLogger() const { return owner; }

    // The nearest node above this one that has a logger, or null.
    Logger* nearestAncestorLogger() const;

    // Callers hold the manager's mutex.
    std::shared_ptr<LoggerNamespaceBranch> child(const std::wstring& component);
    std::shared_ptr<LoggerNamespaceBranch> findChild(const std::wstring& component) const;
    // False when a logger is attached already.
    bool attach(const std::shared_ptr<Logger>& logger);

private:
    LoggerNamespaceBranch* const parent_;
    std::map<std::wstring, std::shared_ptr<LoggerNamespaceBranch>> children;
    std::shared_ptr<Logger> owner;
    std::atomic<Logger*> attached{nullptr};
};

} // namespace Vellmar::Diagnostics
