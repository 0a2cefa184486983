#pragma once

#include "config/CommandLine.h"
#include "config/MessageText.h"
#include "config/StringTable.h"

#include <memory>
#include <string>
#include <vector>

// The application-wide context: command line, languages, the string table with every variable,
// and the verdict of reading the configuration. One instance lives for the whole run.
class LauncherContext {
public:
    // Only the defaults; the start-up steps run in Start.
    LauncherContext();

    // Reads the command line, chooses the language, loads the embedded messages, computes the
    // built-in paths from `exeFile`, makes EXE_DIR the current directory, loads the
    // configuration file and sets the shell-folder variables. Failures to read the messages or
    // the configuration are shown and recorded in configurationFailed; ConfigurationException
    // escapes when the paths themselves cannot be formed.
    void Start(const Vellmar::CommandLine& commandLine, const std::wstring& exeFile);

    // ROOT_DIR canonicalised when set, else EXE_DIR.
    std::wstring GetRootDir();

    // "%d.%d.%d.%d" (full) or "%d.%02d" of the file's version resource; false and empty when
    // the file has none.
    static bool GetFileVersionString(const std::wstring& path, std::wstring& version, bool full);

    // A stop-icon box with a translated text filled with `arguments`, captioned "error_title".
    void ShowLocalizedError(const std::wstring& key,
                            const std::vector<Vellmar::MessageArgument>& arguments);

    // The embedded message document as loaded at start-up (also used by tests).
    void LoadInternalSettings();
    void LoadConfigurationFile();
    void ComputeBuiltInPaths(const std::wstring& exeFile);
    // The 49 CSIDL_ variables, into the default language's table.
    void AddShellFolders();

    static std::shared_ptr<LauncherContext> Current();
    static void SetCurrent(std::shared_ptr<LauncherContext> context);

    std::wstring requestedLanguage;
    std::wstring selectedLanguage;
    std::wstring argumentString;
    std::wstring commandLine; // the whole command line, for the log and a restart
    bool loggingEnabled = false;
    StringTable strings;
    bool configurationFailed = false;
    bool reloadOnDiskChange = false;
    // `autorun /preview`: windows build their pages for a picture and run nothing.
    bool previewOnly = false;
};
