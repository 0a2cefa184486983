#pragma once

#include <memory>
#include <mutex>
#include <string>

namespace Vellmar::Diagnostics {

class Logger;
class LoggerNamespaceBranch;

// The process-wide logger tree. Loggers are never removed; the manager lives until the process
// ends (it is never destroyed, so threads may log during exit).
class LogManager {
public:
    // The logger registered under the dotted `name`, created on first request. Empty
    // components are dropped, so "" (and ".") name the root.
    static std::shared_ptr<Logger> getLogger(const std::wstring& name);

private:
    LogManager();
    static LogManager& instance();

    std::shared_ptr<Logger> find(const std::wstring& name);
    bool add(const std::shared_ptr<Logger>& logger);

    std::mutex mutex;
    std::shared_ptr<LoggerNamespaceBranch> root;
};

} // namespace Vellmar::Diagnostics
