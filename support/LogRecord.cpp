#include "support/LogRecord.h"

#include <boost/date_time/posix_time/posix_time_types.hpp>

#include <unistd.h>

#include <atomic>

namespace Vellmar::Diagnostics {

namespace {

std::atomic<std::uint32_t> nextSequenceNumber{0};

std::unique_ptr<Exception> CloneOrNull(const std::unique_ptr<Exception>& source) {
    return source ? source->Clone() : nullptr;
}

} // namespace

LogRecord::LogRecord(int level, std::wstring message, std::wstring className,
                     std::wstring methodName)
    : sequenceNumber(nextSequenceNumber.fetch_add(1, std::memory_order_relaxed)), level(level),
      message(std::move(message)), time(boost::posix_time::second_clock::universal_time()),
      threadId(static_cast<std::uint32_t>(::gettid())), className(std::move(className)),
      methodName(std::move(methodName)) {}

LogRecord::LogRecord(const LogRecord& other)
    : sequenceNumber(other.sequenceNumber), loggerName(other.loggerName), level(other.level),
      message(other.message), time(other.time), threadId(other.threadId),
      className(other.className), methodName(other.methodName), thrown(CloneOrNull(other.thrown)) {}

LogRecord& LogRecord::operator=(const LogRecord& other) {
    if (this != &other) {
        LogRecord copy(other);
        *this = std::move(copy);
    }
    return *this;
}

LogRecord::~LogRecord() = default;

} // namespace Vellmar::Diagnostics
