#pragma once

#include "support/StreamLogHandler.h"

#include <string>

namespace Vellmar::Diagnostics {

// Appends each record to a file that is opened and closed around the record, so the log is
// complete up to the last line even if the process dies. Lines are UTF-8 and end in CR LF;
// each one reaches the file in a single append, so other writers never split it.
class FileLogHandler : public StreamLogHandler {
public:
    // Without `append` the file is emptied. Throws LogException when it cannot be opened.
    // Later failures drop the line and are reported once on stderr.
    FileLogHandler(const std::wstring& path, bool append);

    void publish(const LogRecord& record) override;

    // The file as opened: UTF-8, '/' separators, folders matched ignoring case.
    const std::string& getPath() const { return path; }

private:
    std::string path;
    bool failureReported = false;
};

} // namespace Vellmar::Diagnostics
