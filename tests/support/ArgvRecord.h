#pragma once

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace Vellmar::Testing {

// What tests/programs/argv_recorder wrote about how it was started.
struct ArgvRecord {
    std::string cwd;
    std::string session;
    std::string fds;
    std::vector<std::string> args;
};

// The built argv_recorder program (beside the test programs).
std::filesystem::path ArgvRecorderPath();

// Waits for the record file to appear (the recorder renames it into place whole).
std::optional<ArgvRecord>
WaitForArgvRecord(const std::filesystem::path& file,
                  std::chrono::milliseconds timeout = std::chrono::seconds(20));

} // namespace Vellmar::Testing
