#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace Vellmar::Platform {

// Starting programs, documents and web addresses the way the Windows shell would.
class Shell {
public:
    // An executable file (x bit and an ELF or "#!" header) is started directly with `arguments`
    // split by the Windows command-line rules; a .exe/.bat/.com runs under wine when wine is on
    // PATH (.msi through "wine msiexec /i"); anything else is handed to xdg-open. The verb
    // "runas" (any case) runs the same command through pkexec; other verbs open. A relative
    // `file` is looked for in `directory`, then in the current folder, then (a bare name) on
    // PATH. The child starts in `directory` ("" keeps ours). True when a process was started.
    static bool Execute(const std::wstring& verb, const std::wstring& file,
                        const std::wstring& arguments, const std::wstring& directory);

    // The argv that Execute would start (UTF-8, argv[0] an absolute path), or an empty one when
    // the file is nowhere or the tool it needs is missing.
    static std::vector<std::string> Command(const std::wstring& verb, const std::wstring& file,
                                            const std::wstring& arguments,
                                            const std::wstring& directory);

    // Opens http, https, ftp and mailto addresses (scheme in any case) with xdg-open; anything
    // else, or text with control characters, opens nothing and gives false.
    static bool OpenUrl(const std::wstring& url);

    // RFC 3986 scheme syntax: a letter, then letters, digits, '+', '-' or '.', then ':'. A
    // single letter is a drive ("C:\setup.exe"), not a scheme.
    static bool IsUrl(std::wstring_view text);
};

} // namespace Vellmar::Platform
