#pragma once

#include <string>
#include <vector>

namespace Vellmar::Platform {

// The Linux form of a shell link: a freedesktop desktop entry that starts the target.
class ShortcutWriter {
public:
    // Writes the entry for `target` at `linkPath` (a ".lnk" name becomes ".desktop"; a name
    // without either gets ".desktop"), mode 0755, replacing any old file atomically. The command
    // is what Shell::Execute would run for the target (a document opens with xdg-open); the
    // entry starts in the target's folder. Returns the path written; failures throw.
    static std::string Write(const std::wstring& linkPath, const std::wstring& target);

    // The file name the entry is written under.
    static std::wstring DesktopFileName(const std::wstring& linkPath);

    // The entry's text for a command and working directory (UTF-8 throughout).
    static std::string EntryText(const std::string& name, const std::vector<std::string>& argv,
                                 const std::string& workingDirectory);

    // The Exec value for argv: each argument quoted where it holds a reserved character, '%'
    // doubled, then the value escaped as every desktop-entry string is. Control characters
    // other than tab, line feed and carriage return cannot be written and throw.
    static std::string ExecValue(const std::vector<std::string>& argv);
};

} // namespace Vellmar::Platform
