#include "platform/ChildProcess.h"

#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <system_error>
#include <thread>

extern char** environ;

namespace Vellmar::Platform {
namespace {

class SpawnActions {
public:
    SpawnActions() { ok = ::posix_spawn_file_actions_init(&actions) == 0; }
    ~SpawnActions() {
        if (ok)
            ::posix_spawn_file_actions_destroy(&actions);
    }
    SpawnActions(const SpawnActions&) = delete;
    SpawnActions& operator=(const SpawnActions&) = delete;

    bool Configure(const std::string& directory) {
        if (!ok)
            return false;
        if (!directory.empty() &&
            ::posix_spawn_file_actions_addchdir_np(&actions, directory.c_str()) != 0)
            return false;
        return ::posix_spawn_file_actions_addclosefrom_np(&actions, 3) == 0;
    }
    const posix_spawn_file_actions_t* Get() const { return &actions; }

private:
    posix_spawn_file_actions_t actions{};
    bool ok = false;
};

class SpawnAttributes {
public:
    SpawnAttributes() { ok = ::posix_spawnattr_init(&attributes) == 0; }
    ~SpawnAttributes() {
        if (ok)
            ::posix_spawnattr_destroy(&attributes);
    }
    SpawnAttributes(const SpawnAttributes&) = delete;
    SpawnAttributes& operator=(const SpawnAttributes&) = delete;

    // Ignored or blocked signals of ours (SIGPIPE, say) would otherwise carry over into the child.
    bool Configure() {
        if (!ok)
            return false;
        sigset_t none;
        sigset_t all;
        sigemptyset(&none);
        sigfillset(&all);
        return ::posix_spawnattr_setsigmask(&attributes, &none) == 0 &&
               ::posix_spawnattr_setsigdefault(&attributes, &all) == 0 &&
               ::posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGMASK |
                                                           POSIX_SPAWN_SETSIGDEF) == 0;
    }
    const posix_spawnattr_t* Get() const { return &attributes; }

private:
    posix_spawnattr_t attributes{};
    bool ok = false;
};

// Waiting for this one pid only leaves the children of other parts of the program alone.
void ReapInBackground(pid_t pid) {
    try {
        std::thread([pid] {
            while (::waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
            }
        }).detach();
    } catch (const std::system_error&) {
        // Without a thread the child stays a zombie until we exit; it still ran.
    }
}

bool IsExecutableFile(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
           ::access(path.c_str(), X_OK) == 0;
}

} // namespace

std::optional<pid_t> ChildProcess::SpawnDetached(const std::vector<std::string>& argv,
                                                 const std::string& directory) {
    if (argv.empty() || argv.front().empty()) {
        errno = EINVAL;
        return std::nullopt;
    }
    SpawnActions actions;
    SpawnAttributes attributes;
    if (!actions.Configure(directory) || !attributes.Configure()) {
        errno = ENOMEM;
        return std::nullopt;
    }
    std::vector<char*> pointers;
    pointers.reserve(argv.size() + 1);
    for (const std::string& argument : argv)
        pointers.push_back(const_cast<char*>(argument.c_str()));
    pointers.push_back(nullptr);

    pid_t pid = -1;
    const int error = ::posix_spawn(&pid, argv.front().c_str(), actions.Get(), attributes.Get(),
                                    pointers.data(), environ);
    if (error != 0) {
        errno = error;
        return std::nullopt;
    }
    ReapInBackground(pid);
    return pid;
}

std::string ChildProcess::FindOnPath(const std::string& name) {
    if (name.empty() || name.find('/') != std::string::npos)
        return {};
    const char* path = std::getenv("PATH");
    const std::string folders = path ? path : "/usr/local/bin:/usr/bin:/bin";
    std::size_t start = 0;
    while (start <= folders.size()) {
        std::size_t end = folders.find(':', start);
        if (end == std::string::npos)
            end = folders.size();
        // Relative entries (an empty one means ".") would let the disc we run from plant tools.
        const std::string folder = folders.substr(start, end - start);
        if (!folder.empty() && folder.front() == '/' && IsExecutableFile(folder + "/" + name))
            return folder + "/" + name;
        start = end + 1;
    }
    return {};
}

} // namespace Vellmar::Platform
