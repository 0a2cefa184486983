#pragma once

#include <string>

namespace Vellmar {

// The launcher's command line as configurations written for Windows read it: tokens are split
// on spaces only, quotes are ordinary characters, switches are case-sensitive.
struct CommandLine {
    std::wstring full;
    std::wstring programToken;
    std::wstring displayName;    // program token after its last separator, quotes removed
    std::wstring argumentString; // everything after the character that ends the program token
    bool logging = false;        // "/log"
    bool usage = false;          // "/?"

    static CommandLine Parse(const std::wstring& full);

    // Linux has no single command-line string: the arguments are joined by single spaces.
    static std::wstring Join(int argc, const char* const* argv);
};

// The text of the "Arguments" box, after the display name.
extern const wchar_t* const kUsageText;

} // namespace Vellmar
