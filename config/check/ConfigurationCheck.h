#pragma once

#include "config/check/Findings.h"

#include <memory>
#include <string>
#include <vector>

class LauncherContext;

namespace LTF::Xml {
class XmlParser;
}

namespace Vellmar {
struct CommandLine;
}

namespace Vellmar::Check {

class SourceLocator;

// `autorun /check`: reads the configuration with the start-up steps of a run (the same search,
// variables and parser) and reports what a run would trip over, without running an action,
// playing a sound, opening a window or writing anything.
class ConfigurationCheck {
public:
    static constexpr int kUnreadable = 3;

    // `language`: the selected language when not empty, else the one a run would choose.
    ConfigurationCheck(const CommandLine& commandLine, const std::wstring& exeFile,
                       const std::wstring& language);
    ~ConfigurationCheck();

    // Reads and parses the file; false (with the finding) when it cannot be read or parsed.
    bool Load();
    // Every check; Load must have succeeded.
    void Run();
    // 0 clean, 1 warnings, 2 errors, 3 unreadable or unparsable.
    int ExitCode() const;

    const Findings& Result() const { return findings; }
    LauncherContext& Context() { return *context; }
    const std::wstring& File() const { return file; }

    // After Load: the languages of the configuration's table (the selected one when it has
    // none), the pages a run creates, and a page's buttons' names in slot order.
    std::vector<std::wstring> Languages() const;
    std::vector<std::wstring> PageNames() const;
    std::vector<std::wstring> ButtonNames(const std::wstring& page) const;

private:
    void Unreadable(int line, int column, const wchar_t* code, const std::wstring& text);

    std::shared_ptr<LauncherContext> context;
    std::wstring language;
    std::wstring file;
    std::string source;
    std::unique_ptr<LTF::Xml::XmlParser> parser;
    std::unique_ptr<SourceLocator> locator;
    Findings findings;
    bool unreadable = false;
};

} // namespace Vellmar::Check
