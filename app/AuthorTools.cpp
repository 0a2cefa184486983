#include "app/AuthorTools.h"

#include "app/PagePreview.h"
#include "config/CommandLine.h"
#include "config/check/ConfigurationCheck.h"
#include "support/Path.h"
#include "support/Text.h"

#include <cstdio>
#include <string_view>

using Vellmar::Check::ConfigurationCheck;

std::optional<AuthorTools::Request> AuthorTools::Parse(int argc, const char* const* argv) {
    Request request;
    for (int i = 1; i < argc; ++i) {
        const std::string_view token = argv[i];
        if (token == "/check" || token == "/check=json") {
            request.check = true;
            request.json = token == "/check=json";
        } else if (token.starts_with("/preview=")) {
            request.previewFolder = Vellmar::Utf8ToWide(token.substr(9));
        } else if (token.starts_with("/lang=")) {
            request.language = Vellmar::Utf8ToWide(token.substr(6));
        }
    }
    if (!request.check && request.previewFolder.empty())
        return std::nullopt;
    return request;
}

int AuthorTools::Run(const Request& request, const std::wstring& commandLine, int toolkitArgc,
                     char** toolkitArgv) {
    const Vellmar::CommandLine line = Vellmar::CommandLine::Parse(commandLine);
    ConfigurationCheck check(line, Vellmar::ExecutablePath(), request.language);
    if (check.Load())
        check.Run();
    if (!request.previewFolder.empty())
        return PagePreview::Write(check, request, toolkitArgc, toolkitArgv);
    const std::string out = request.json ? check.Result().AsJson() : check.Result().AsText();
    std::fwrite(out.data(), 1, out.size(), stdout);
    std::fflush(stdout);
    return check.ExitCode();
}
