#pragma once

#include <atomic>

namespace Vellmar::Diagnostics {

class LogFormatter;
class LogRecord;

// Publishes records. Loggers hold handlers by plain pointer: the creator keeps a handler alive
// for as long as it is registered.
class LogHandler {
public:
    LogHandler() = default;
    LogHandler(const LogHandler&) = delete;
    LogHandler& operator=(const LogHandler&) = delete;
    virtual ~LogHandler();

    virtual bool isLoggable(const LogRecord& record) const;
    virtual void publish(const LogRecord& record) = 0;

    void setLevel(int level) { level_.store(level, std::memory_order_relaxed); }
    int getLevel() const { return level_.load(std::memory_order_relaxed); }
    // Not owned; must be set before the first record.
    void setFormatter(const LogFormatter* formatter) { formatter_ = formatter; }
    const LogFormatter* getFormatter() const { return formatter_; }

private:
    std::atomic<int> level_{0};
    const LogFormatter* formatter_ = nullptr;
};

} // namespace Vellmar::Diagnostics
