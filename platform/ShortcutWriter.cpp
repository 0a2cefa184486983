#include "platform/ShortcutWriter.h"

#include "platform/AtomicFile.h"
#include "platform/Shell.h"
#include "support/PathResolve.h"
#include "support/Text.h"
#include "support/VellmarException.h"

#include <sys/stat.h>

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
    AtomicFile::Replace(file, EntryText(name, argv, folder), 0755);
    // Replace keeps the mode of an entry it overwrites; desktops only start executable ones.
    if (::chmod(file.c_str(), 0755) != 0)
        ThrowLastWin32Error("chmod " + file, Utf8ToWide(file));
    return file;
}

} // namespace Vellmar::Platform
