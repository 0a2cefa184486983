#pragma once

#include "support/LogHandler.h"
#include "support/LogRecord.h"
#include "support/Text.h"

#include <mutex>
#include <string>
#include <vector>

namespace Vellmar::Testing {

// Keeps the message of every record it is given, from any thread.
class RecordingLogHandler : public Vellmar::Diagnostics::LogHandler {
public:
    void publish(const Vellmar::Diagnostics::LogRecord& record) override {
        std::lock_guard lock(mutex);
        messages.push_back(Vellmar::WideToUtf8(record.message));
    }
    std::vector<std::string> Messages() {
        std::lock_guard lock(mutex);
        return messages;
    }

private:
    std::mutex mutex;
    std::vector<std::string> messages;
};

} // namespace Vellmar::Testing
