#include "tests/support/LauncherSandbox.h"

#include "support/Text.h"

#include <filesystem>

namespace fs = std::filesystem;

namespace Vellmar::Testing {

namespace {

const std::wstring kStrings = LR"(<languagetable><strings language="en">
<string name="error_title">Error</string><string name="error_filenotfound">Not found: %ls</string>
<string name="error_parseerror">Parse: %ls at %i:%i in %ls</string>
<string name="error_filecorrupt">Corrupt: %ls</string><string name="error_xmldata">Bad: %ls</string>
<string name="main">Main title</string></strings>
<strings language="fr"><string name="error_title">Erreur</string></strings></languagetable>)";

} // namespace

LauncherSandbox::LauncherSandbox(const std::string& prefix)
    : dir(prefix), registry("VELLMAR_REGISTRY_DIR", (dir / "registry").string()),
      runtime("XDG_RUNTIME_DIR", (dir / "run").string()),
      previousBoxes(MessageBoxService::Install(&boxes)),
      media(std::make_shared<Platform::MediaPlayer>("fakesink sync=true")),
      savedDirectory(fs::current_path()) {
    fs::create_directories(dir / "registry");
    fs::create_directories(dir / "run");
    fs::permissions(dir / "run", fs::perms::owner_all);
    context.strings.LoadFromString(kStrings);
    context.strings.SetBuiltInVariable(L"EXE_DIR", dir.Wide());
    context.strings.SetBuiltInVariable(L"EXE_BASENAME", L"autorun");
    context.selectedLanguage = context.requestedLanguage = L"en";
    // Start-up makes the launcher's folder the current one.
    fs::current_path(dir.Path());
    engine = std::make_unique<ActionEngine>(context, false, media);
}

LauncherSandbox::~LauncherSandbox() {
    engine.reset();
    MessageBoxService::Install(previousBoxes);
    std::error_code nothingToGoBackTo;
    fs::current_path(savedDirectory, nothingToGoBackTo);
}

std::wstring LauncherSandbox::WriteConfiguration(const std::wstring& body) const {
    dir.Write("data/autorun.xml", WideToUtf8(L"<autorun>" + body + L"</autorun>"));
    return dir.Wide("data/autorun.xml");
}

} // namespace Vellmar::Testing
