#pragma once

#include "support/LogFormatter.h"

namespace Vellmar::Diagnostics {

// "[Sat Dec 05 19:28:05 2026] (name) WARNING: message", local time; "(name) " only for named
// loggers' handlers.
class SummaryLogFormatter : public LogFormatter {
public:
    std::wstring format(const LogRecord& record) const override;
};

} // namespace Vellmar::Diagnostics
