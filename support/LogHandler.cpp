#include "support/LogHandler.h"

#include "support/LogRecord.h"

namespace Vellmar::Diagnostics {

LogHandler::~LogHandler() = default;

bool LogHandler::isLoggable(const LogRecord& record) const {
    return LevelAccepts(getLevel(), record.level);
}

} // namespace Vellmar::Diagnostics
