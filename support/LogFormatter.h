#pragma once

#include <string>

namespace Vellmar::Diagnostics {

class LogRecord;

// Turns a record into one line of text (without the line end).
class LogFormatter {
public:
    LogFormatter() = default;
    LogFormatter(const LogFormatter&) = delete;
    LogFormatter& operator=(const LogFormatter&) = delete;
    virtual ~LogFormatter();

    virtual std::wstring format(const LogRecord& record) const = 0;
    // A stream handler writes the head once, before its first record; nothing writes the tail.
    virtual std::wstring getHead() const;
    virtual std::wstring getTail() const;
};

} // namespace Vellmar::Diagnostics
