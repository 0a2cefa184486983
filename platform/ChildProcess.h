#pragma once

#include <sys/types.h>

#include <optional>
#include <string>
#include <vector>

namespace Vellmar::Platform {

// Starts programs that outlive their starter: each child gets a session of its own, default
// signal handling, only fds 0-2 and its own working directory. Nothing runs through a shell.
class ChildProcess {
public:
    // argv[0] must be a path to the program. An empty `directory` keeps ours. The pid, or
    // nothing when the program could not be started (errno tells why). A background thread
    // waits for the child, so it never lingers as a zombie.
    static std::optional<pid_t> SpawnDetached(const std::vector<std::string>& argv,
                                              const std::string& directory);

    // The first executable regular file called `name` in the absolute folders of $PATH;
    // "" if none.
    static std::string FindOnPath(const std::string& name);
};

} // namespace Vellmar::Platform
