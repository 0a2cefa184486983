#pragma once

#include "support/VellmarException.h"

#include <boost/date_time/posix_time/ptime.hpp>

#include <cstdint>
#include <memory>
#include <string>

namespace Vellmar::Diagnostics {

// A smaller level is more severe; a threshold accepts the levels up to itself, and 0 accepts
// nothing.
constexpr bool LevelAccepts(int threshold, int level) {
    return threshold > 0 && level <= threshold;
}

// One logged event. Copies clone the attached exception, so every handler owns what it sees.
class LogRecord {
public:
    // Takes the next process-wide sequence number, the UTC time (whole seconds) and the thread.
    LogRecord(int level, std::wstring message, std::wstring className = {},
              std::wstring methodName = {});
    LogRecord(const LogRecord& other);
    LogRecord& operator=(const LogRecord& other);
    LogRecord(LogRecord&&) noexcept = default;
    LogRecord& operator=(LogRecord&&) noexcept = default;
    ~LogRecord();

    std::uint32_t sequenceNumber;
    std::wstring loggerName;
    int level;
    std::wstring message;
    boost::posix_time::ptime time;
    std::uint32_t threadId;
    std::wstring className;
    std::wstring methodName;
    std::unique_ptr<Exception> thrown;
};

} // namespace Vellmar::Diagnostics
