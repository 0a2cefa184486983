#pragma once

#include <memory>
#include <string>

namespace Vellmar::Diagnostics {

class Logger;

// Logs entry and exit of a method at level 7 and names the class and method for the records
// logged inside it:
//     MethodTrace trace(logger, L"CheckNewsUpdate", L"Run");
//     if (trace.isEnabledFor(3))
//         trace.log(3, L"Downloading " + url);
class MethodTrace {
public:
    static constexpr int kTraceLevel = 7;

    MethodTrace(const std::shared_ptr<Logger>& logger, std::wstring className,
                std::wstring methodName);
    MethodTrace(const MethodTrace&) = delete;
    MethodTrace& operator=(const MethodTrace&) = delete;
    // Never throws: a log file that cannot be opened must not end the process here.
    ~MethodTrace();

    const std::wstring& getClassName() const { return className; }
    const std::wstring& getMethodName() const { return methodName; }
    Logger& getLogger() const { return *logger; }

    bool isEnabledFor(int level) const;
    void log(int level, std::wstring message) const;

private:
    void trace(const wchar_t* what) const;

    std::wstring className;
    std::wstring methodName;
    Logger* logger;
};

} // namespace Vellmar::Diagnostics
