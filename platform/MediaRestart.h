#pragma once

#include <string>
#include <vector>

namespace Vellmar::Platform {

class MountWatcher;

// What a launcher needs to start itself again from newly inserted media.
struct RestartRequest {
    std::wstring exeFile;               // EXE_FILE
    std::wstring configFile;            // CONFIGXML_FILE
    std::vector<std::string> arguments; // argv[1..] of this process, unchanged
};

// The argv of the launcher on `newMount`: EXE_FILE and CONFIGXML_FILE are each moved from the
// mount point that holds them to `newMount`; empty when either has no holder or does not exist
// there.
std::vector<std::string> RestartCommand(const RestartRequest& request, const MountWatcher& mounts,
                                        const std::string& newMount);

// argv[1..] of this process as it was started (not as any library rewrote it).
std::vector<std::string> CurrentArguments(const std::string& cmdlineFile = "/proc/self/cmdline");

} // namespace Vellmar::Platform
