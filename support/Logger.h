#pragma once

#include <atomic>
#include <climits>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace Vellmar::Diagnostics {

class LogHandler;
class LogRecord;
class LoggerNamespaceBranch;

// A named logger in the dotted namespace ("" is the root). Get loggers from
// LogManager::getLogger. Callers ask isEnabledFor before building a message.
class Logger {
public:
    explicit Logger(std::wstring name);
    Logger(const Logger&) = delete;
    Logger& operator=(const Logger&) = delete;
    ~Logger();

    const std::wstring& getName() const { return name; }

    void setLevel(int level) { level_.store(level, std::memory_order_relaxed); }
    // Back to inheriting the nearest ancestor's level.
    void clearLevel() { level_.store(kInherit, std::memory_order_relaxed); }
    // Own level, else the nearest ancestor logger's effective level, else 0.
    int getEffectiveLevel() const;
    bool isEnabledFor(int level) const;

    // Not owned: the creator keeps the handler alive while it is registered.
    void addHandler(LogHandler* handler);
    void removeHandler(LogHandler* handler);

    void log(int level, std::wstring message, std::wstring className = {},
             std::wstring methodName = {});
    // Publishes a copy stamped with this logger's name to its handlers, then hands that copy to
    // the nearest ancestor logger, which forwards further itself.
    void log(const LogRecord& record);

private:
    friend class LogManager;
    static constexpr int kInherit = INT_MIN;

    std::vector<LogHandler*> handlerSnapshot() const;

    const std::wstring name;
    std::atomic<int> level_{kInherit};
    std::shared_ptr<LoggerNamespaceBranch> branch;
    mutable std::mutex handlersLock;
    std::vector<LogHandler*> handlers;
};

} // namespace Vellmar::Diagnostics
