#pragma once

#include "support/LogHandler.h"

#include <mutex>
#include <ostream>

namespace Vellmar::Diagnostics {

// Writes each record as one line to a wide stream. One lock per handler keeps lines whole when
// several threads log at once.
class StreamLogHandler : public LogHandler {
public:
    explicit StreamLogHandler(std::wostream* stream = nullptr) : stream(stream) {}

    bool isLoggable(const LogRecord& record) const override;
    void publish(const LogRecord& record) override;

    // Not owned.
    void setStream(std::wostream* target);

protected:
    // Callers hold `lock`. The first record of the handler's life is preceded by the head line.
    void writeLocked(const LogRecord& record);

    std::mutex lock;
    std::wostream* stream = nullptr;

private:
    bool headWritten = false;
};

} // namespace Vellmar::Diagnostics
