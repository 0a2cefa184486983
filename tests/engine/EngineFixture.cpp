#include "tests/engine/EngineFixture.h"

#include "support/Text.h"

#include <unistd.h>

#include <filesystem>

namespace EngineTest {

namespace {

const std::wstring kStrings = LR"(<languagetable>
  <strings language="en">
    <string name="error_title">Error</string>
    <string name="error_filenotfound">Not found: %ls</string>
    <string name="error_parseerror">Parse: %ls at %i:%i in %ls</string>
    <string name="error_filecorrupt">Corrupt: %ls</string>
  </strings>
  <strings language="fr"><string name="error_title">Erreur</string></strings>
</languagetable>)";

std::string CurrentDirectory() {
    char buffer[4096] = {};
    return ::getcwd(buffer, sizeof buffer) ? buffer : "/";
}

} // namespace

EngineFixture::EngineFixture()
    : dir("vellmar-engine"), registry("VELLMAR_REGISTRY_DIR", (dir / "registry").string()),
      runtime("XDG_RUNTIME_DIR", (dir / "run").string()),
      previousBoxes(Vellmar::MessageBoxService::Install(&boxes)),
      media(std::make_shared<Vellmar::Platform::MediaPlayer>("fakesink sync=true")),
      savedDirectory(CurrentDirectory()) {
    std::filesystem::create_directories(dir / "registry");
    std::filesystem::create_directories(dir / "run");
    std::filesystem::permissions(dir / "run", std::filesystem::perms::owner_all);
    context.strings.LoadFromString(kStrings);
    context.strings.SetBuiltInVariable(L"EXE_DIR", dir.Wide());
    context.selectedLanguage = context.requestedLanguage = L"en";
    // Start-up makes the launcher's folder the current one.
    if (::chdir(dir.Path().c_str()) != 0)
        ADD_FAILURE() << "cannot enter " << dir.Path();
    engine = std::make_unique<ActionEngine>(context, false, media);
    host.Attach(*engine);
}

EngineFixture::~EngineFixture() {
    engine.reset();
    Vellmar::MessageBoxService::Install(previousBoxes);
    if (::chdir(savedDirectory.c_str()) != 0) {
        // nothing to restore to
    }
}

void EngineFixture::Start(const std::wstring& body) {
    dir.Write("data/autorun.xml", Vellmar::WideToUtf8(L"<autorun>" + body + L"</autorun>"));
    engine->Start(&host, Path("data/autorun.xml"));
    host.calls.clear(); // what start-up did is the business of the start-up tests
}

void EngineFixture::Run(const std::wstring& actionXml) {
    engine->ExecuteActionXml(actionXml);
}

void EngineFixture::RunConditionSection(const std::wstring& conditions) {
    Start(L"<conditions>" + conditions + L"</conditions>");
    engine->RunCondition(L"c");
}

std::vector<std::wstring> EngineFixture::Pages() const {
    std::vector<std::wstring> pages;
    for (const std::wstring& call : host.calls)
        if (call.starts_with(L"ShowPage("))
            pages.push_back(call.substr(9, call.size() - 10));
    return pages;
}

} // namespace EngineTest
