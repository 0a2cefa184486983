#include "platform/ShortcutWriter.h"

#include "platform/Shell.h"
#include "support/PathResolve.h"
#include "support/Text.h"
#include "support/VellmarException.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string_view>

namespace Vellmar::Platform {
namespace {

constexpr std::string_view kReserved = " \t\n\"'\\><~|&;$*?#()`";
constexpr std::string_view kEscapedInQuotes = "\"`$\\";

void RejectControlCharacters(std::string_view text) {
    for (unsigned char c : text)
        if ((c < 0x20 && c != '\t' && c != '\n' && c != '\r') || c == 0x7F)
            throw ArgumentException("text", "control character in a desktop entry value");
}

std::string QuoteArgument(const std::string& argument) {
    const bool quoted = argument.empty() || argument.find_first_of(kReserved) != std::string::npos;
    std::string out = quoted ? "\"" : "";
    for (char c : argument) {
        if (c == '%')
            out += '%';
        else if (quoted && kEscapedInQuotes.find(c) != std::string_view::npos)
            out += '\\';
        out += c;
    }
    return quoted ? out + '"' : out;
}

// The escapes that every string value of a desktop entry goes through.
std::string EscapeValue(std::string_view value) {
    RejectControlCharacters(value);
    std::string out;
    for (std::size_t i = 0; i < value.size(); ++i) {
        switch (value[i]) {
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\r':
            out += "\\r";
            break;
        case ' ':
            out += i == 0 ? "\\s" : " ";
            break;
        default:
            out += value[i];
        }
    }
    return out;
}

class TemporaryFile {
public:
    explicit TemporaryFile(const std::string& beside) : path(beside + ".XXXXXX") {
        fd = ::mkostemp(path.data(), O_CLOEXEC);
        if (fd < 0)
            ThrowLastWin32Error("ShortcutWriter::Write", Utf8ToWide(beside));
    }
    ~TemporaryFile() {
        if (fd >= 0)
            ::close(fd);
        if (!committed)
            ::unlink(path.c_str());
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    void Commit(std::string_view bytes, const std::string& target) {
        for (std::size_t done = 0; done < bytes.size();) {
            const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0)
                Fail(target);
            done += static_cast<std::size_t>(n);
        }
        if (::fchmod(fd, 0755) != 0 || ::fsync(fd) != 0)
            Fail(target);
        const int closing = fd;
        fd = -1;
        if (::close(closing) != 0 || ::rename(path.c_str(), target.c_str()) != 0)
            Fail(target);
        committed = true;
    }

private:
    [[noreturn]] void Fail(const std::string& target) {
        ThrowLastWin32Error("ShortcutWriter::Write", Utf8ToWide(target));
    }

    std::string path;
    int fd = -1;
    bool committed = false;
};

bool EndsWithIgnoreCase(std::wstring_view text, std::wstring_view suffix) {
    return text.size() >= suffix.size() &&
           EqualsIgnoreCase(text.substr(text.size() - suffix.size()), suffix);
}

} // namespace

std::wstring ShortcutWriter::DesktopFileName(const std::wstring& linkPath) {
    if (EndsWithIgnoreCase(linkPath, L".lnk"))
        return linkPath.substr(0, linkPath.size() - 4) + L".desktop";
    if (EndsWithIgnoreCase(linkPath, L".desktop"))
        return linkPath;
    return linkPath + L".desktop";
}

std::string ShortcutWriter::ExecValue(const std::vector<std::string>& argv) {
    std::string exec;
    for (const std::string& argument : argv) {
        RejectControlCharacters(argument);
        if (!exec.empty())
            exec += ' ';
        exec += QuoteArgument(argument);
    }
    return EscapeValue(exec);
}

std::string ShortcutWriter::EntryText(const std::string& name, const std::vector<std::string>& argv,
                                      const std::string& workingDirectory) {
    std::string text = "[Desktop Entry]\nType=Application\nVersion=1.0\n";
    text += "Name=" + EscapeValue(name) + "\n";
    text += "Exec=" + ExecValue(argv) + "\n";
    if (!workingDirectory.empty())
        text += "Path=" + EscapeValue(workingDirectory) + "\n";
    text += "Terminal=false\n";
    return text;
}

std::string ShortcutWriter::Write(const std::wstring& linkPath, const std::wstring& target) {
    namespace fs = std::filesystem;
    const std::string file = NativePath(DesktopFileName(linkPath));
    std::vector<std::string> argv = Shell::Command(L"open", target, L"", L"");
    // Without arguments the located target is the last word of any command Shell builds; a
    // target that is nowhere yet is written as the command itself.
    if (argv.empty())
        argv = {fs::absolute(NativePath(target)).string()};
    const std::string folder = fs::path(argv.back()).parent_path().string();
    const std::string name = fs::path(file).stem().string();
    TemporaryFile temporary(file);
    temporary.Commit(EntryText(name, argv, folder), file);
    return file;
}

} // namespace Vellmar::Platform
