#include "support/Logger.h"

#include "support/LogHandler.h"
#include "support/LogRecord.h"
#include "support/LoggerNamespaceBranch.h"

#include <algorithm>

namespace Vellmar::Diagnostics {

Logger::Logger(std::wstring name) : name(std::move(name)) {}

Logger::~Logger() = default;

int Logger::getEffectiveLevel() const {
    const Logger* current = this;
    while (current != nullptr) {
        const int own = current->level_.load(std::memory_order_relaxed);
        if (own != kInherit)
            return own;
        current = current->branch ? current->branch->nearestAncestorLogger() : nullptr;
    }
    return 0;
}

bool Logger::isEnabledFor(int level) const {
    return LevelAccepts(getEffectiveLevel(), level);
}

void Logger::addHandler(LogHandler* handler) {
    std::lock_guard<std::mutex> guard(handlersLock);
    handlers.push_back(handler);
}

void Logger::removeHandler(LogHandler* handler) {
    std::lock_guard<std::mutex> guard(handlersLock);
    handlers.erase(std::remove(handlers.begin(), handlers.end(), handler), handlers.end());
}

std::vector<LogHandler*> Logger::handlerSnapshot() const {
    std::lock_guard<std::mutex> guard(handlersLock);
    return handlers;
}

void Logger::log(int level, std::wstring message, std::wstring className, std::wstring methodName) {
    if (!isEnabledFor(level))
        return;
    log(LogRecord(level, std::move(message), std::move(className), std::move(methodName)));
}

void Logger::log(const LogRecord& record) {
    if (!isEnabledFor(record.level))
        return;
    LogRecord copy(record);
    copy.loggerName = name;
    for (LogHandler* handler : handlerSnapshot())
        handler->publish(copy);
    Logger* ancestor = branch ? branch->nearestAncestorLogger() : nullptr;
    if (ancestor != nullptr && ancestor->isEnabledFor(copy.level))
        ancestor->log(copy);
}

} // namespace Vellmar::Diagnostics
