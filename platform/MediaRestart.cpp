#include "platform/MediaRestart.h"

#include "platform/MountWatcher.h"
#include "support/PathResolve.h"
#include "support/Text.h"

#include <fstream>
#include <iterator>

namespace Vellmar::Platform {

namespace {

// The existing file `path` means once moved to `newMount`; empty when there is none.
std::string Moved(const std::wstring& path, const MountWatcher& mounts,
                  const std::string& newMount) {
    const std::string narrow = WideToUtf8(path);
    if (narrow.empty() || narrow.front() != '/')
        return {};
    const std::string moved = ReRoot(narrow, mounts.HoldingMountPoint(narrow), newMount);
    if (moved.empty())
        return {};
    const std::wstring wide = Utf8ToWide(moved);
    if (!PathExists(wide) || IsDirectoryPath(wide))
        return {};
    return NativePath(wide);
}

} // namespace

std::vector<std::string> RestartCommand(const RestartRequest& request, const MountWatcher& mounts,
                                        const std::string& newMount) {
    const std::string exe = Moved(request.exeFile, mounts, newMount);
    if (exe.empty() || Moved(request.configFile, mounts, newMount).empty())
        return {};
    std::vector<std::string> argv{exe};
    argv.insert(argv.end(), request.arguments.begin(), request.arguments.end());
    return argv;
}

std::vector<std::string> CurrentArguments(const std::string& cmdlineFile) {
    std::ifstream in(cmdlineFile, std::ios::binary);
    const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    std::vector<std::string> argv;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find('\0', start);
        argv.push_back(text.substr(start, end == std::string::npos ? end : end - start));
        if (end == std::string::npos)
            break;
        start = end + 1;
    }
    if (!argv.empty())
        argv.erase(argv.begin());
    return argv;
}

} // namespace Vellmar::Platform
