#pragma once

#include <optional>
#include <string>

// The author's switches: `/check` or `/check=json` print what is wrong with the configuration,
// `/preview=<folder>` draws every page into PNG files, `/lang=<code>` limits either to one
// language. None of them runs an action. /check needs no display and no Qt at all.
class AuthorTools {
public:
    struct Request {
        bool check = false;
        bool json = false;
        std::wstring previewFolder;
        std::wstring language;
    };

    // Nothing when the command line names neither tool.
    static std::optional<Request> Parse(int argc, const char* const* argv);
    // The process's exit code. The toolkit gets its own arguments, not the user's switches.
    static int Run(const Request& request, const std::wstring& commandLine, int toolkitArgc,
                   char** toolkitArgv);
};
