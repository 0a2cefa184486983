#pragma once

#include <chrono>
#include <map>
#include <string>
#include <vector>

namespace TestSupport {

struct ProcessResult {
    int exitCode = -1; // -1 when killed by a signal or the time limit
    bool timedOut = false;
    std::string out;
    std::string err;
};

// Runs a program to its end (or kills it at the time limit), with the given extra environment
// (an empty value unsets a variable), capturing both output streams.
ProcessResult RunProcess(const std::string& program, const std::vector<std::string>& arguments,
                         const std::map<std::string, std::string>& environment = {},
                         const std::string& workingDirectory = {},
                         std::chrono::milliseconds limit = std::chrono::seconds(30));

// The lines of `text` that start with `prefix`.
std::vector<std::string> LinesStartingWith(const std::string& text, const std::string& prefix);

} // namespace TestSupport
