#include "support/StreamLogHandler.h"

#include "support/LogFormatter.h"
#include "support/LogRecord.h"
#include "support/VellmarException.h"

namespace Vellmar::Diagnostics {

bool StreamLogHandler::isLoggable(const LogRecord& record) const {
    return stream != nullptr && LogHandler::isLoggable(record);
}

void StreamLogHandler::publish(const LogRecord& record) {
    std::lock_guard<std::mutex> guard(lock);
    if (!isLoggable(record))
        return;
    writeLocked(record);
}

void StreamLogHandler::setStream(std::wostream* target) {
    std::lock_guard<std::mutex> guard(lock);
    stream = target;
}

void StreamLogHandler::writeLocked(const LogRecord& record) {
    const LogFormatter* formatter = getFormatter();
    if (formatter == nullptr)
        throw LogException("Log handler has no formatter");
    if (!headWritten) {
        headWritten = true;
        *stream << formatter->getHead() << L'\n' << std::flush;
    }
    *stream << formatter->format(record) << L'\n' << std::flush;
}

} // namespace Vellmar::Diagnostics
