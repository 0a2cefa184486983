#include "platform/Shell.h"

#include "platform/ChildProcess.h"
#include "platform/CommandLine.h"
#include "support/PathResolve.h"
#include "support/Text.h"

#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <vector>

namespace Vellmar::Platform {
namespace {

using Argv = std::vector<std::string>;

bool IsAsciiLetter(wchar_t c) {
    return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z');
}

bool HasControlCharacter(std::wstring_view text) {
    for (wchar_t c : text)
        if (c < 0x20 || (c >= 0x7F && c <= 0x9F))
            return true;
    return false;
}

std::string Absolute(const std::string& path) {
    std::error_code error;
    const auto absolute = std::filesystem::absolute(path, error);
    return error ? path : absolute.string();
}

// A Linux name may hold a backslash, so the exact text is tried before the Windows reading.
std::string Existing(const std::wstring& path) {
    struct stat info {};
    const std::string exact = WideToUtf8(path);
    if (::stat(exact.c_str(), &info) == 0)
        return exact;
    return PathExists(path) ? NativePath(path) : std::string();
}

// Where the file named by a configuration lies; "" when it is nowhere.
std::string LocateFile(const std::wstring& file, const std::wstring& directory) {
    if (file.empty())
        return {};
    const bool absolute = file.front() == L'/' || file.front() == L'\\';
    std::string found;
    if (!absolute && !directory.empty())
        found = Existing(directory + L"/" + file);
    if (found.empty())
        found = Existing(file);
    if (!found.empty())
        return Absolute(found);
    if (file.find_first_of(L"/\\") == std::wstring::npos)
        return ChildProcess::FindOnPath(WideToUtf8(file));
    return {};
}

bool IsNativeProgram(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode) ||
        ::access(path.c_str(), X_OK) != 0)
        return false;
    std::array<char, 4> head{};
    std::ifstream in(path, std::ios::binary);
    in.read(head.data(), head.size());
    const auto got = in.gcount();
    return (got >= 4 && std::string_view(head.data(), 4) == "\x7f"
                                                            "ELF") ||
           (got >= 2 && head[0] == '#' && head[1] == '!');
}

std::wstring LowerExtension(const std::string& path) {
    return ToLower(Utf8ToWide(std::filesystem::path(path).extension().string()));
}

// The command that opens `path`, or an empty one when the tool it needs is missing.
Argv OpenCommand(const std::string& path, const std::wstring& arguments) {
    Argv argv;
    const auto append = [&argv](const std::wstring& text) {
        for (const std::wstring& argument : SplitCommandLine(text))
            argv.push_back(WideToUtf8(argument));
    };
    if (IsNativeProgram(path)) {
        argv.push_back(path);
        append(arguments);
        return argv;
    }
    const std::wstring extension = LowerExtension(path);
    const std::string wine = ChildProcess::FindOnPath("wine");
    if (!wine.empty() && (extension == L".exe" || extension == L".bat" || extension == L".com")) {
        argv = {wine, path};
        append(arguments);
        return argv;
    }
    if (!wine.empty() && extension == L".msi") {
        argv = {wine, "msiexec", "/i", path};
        append(arguments);
        return argv;
    }
    const std::string xdgOpen = ChildProcess::FindOnPath("xdg-open");
    if (!xdgOpen.empty())
        argv = {xdgOpen, path};
    return argv;
}

} // namespace

bool Shell::Execute(const std::wstring& verb, const std::wstring& file,
                    const std::wstring& arguments, const std::wstring& directory) {
    const Argv argv = Command(verb, file, arguments, directory);
    if (argv.empty())
        return LocateFile(file, directory).empty() && IsUrl(file) && OpenUrl(file);
    const std::string workingDirectory = directory.empty() ? std::string() : NativePath(directory);
    return ChildProcess::SpawnDetached(argv, workingDirectory).has_value();
}

std::vector<std::string> Shell::Command(const std::wstring& verb, const std::wstring& file,
                                        const std::wstring& arguments,
                                        const std::wstring& directory) {
    const std::string path = LocateFile(file, directory);
    if (path.empty())
        return {};
    Argv argv = OpenCommand(path, arguments);
    if (argv.empty() || !EqualsIgnoreCase(verb, L"runas"))
        return argv;
    const std::string pkexec = ChildProcess::FindOnPath("pkexec");
    if (pkexec.empty())
        return {};
    argv.insert(argv.begin(), pkexec);
    return argv;
}

bool Shell::OpenUrl(const std::wstring& url) {
    if (!IsUrl(url) || HasControlCharacter(url))
        return false;
    const std::wstring scheme = ToLower(url.substr(0, url.find(L':')));
    if (scheme != L"http" && scheme != L"https" && scheme != L"ftp" && scheme != L"mailto")
        return false;
    const std::string xdgOpen = ChildProcess::FindOnPath("xdg-open");
    return !xdgOpen.empty() && ChildProcess::SpawnDetached({xdgOpen, WideToUtf8(url)}, {});
}

bool Shell::IsUrl(std::wstring_view text) {
    const std::size_t colon = text.find(L':');
    if (colon == std::wstring_view::npos || colon < 2 || !IsAsciiLetter(text[0]))
        return false;
    for (std::size_t i = 1; i < colon; ++i) {
        const wchar_t c = text[i];
        if (!IsAsciiLetter(c) && !(c >= L'0' && c <= L'9') && c != L'+' && c != L'-' && c != L'.')
            return false;
    }
    return true;
}

} // namespace Vellmar::Platform
