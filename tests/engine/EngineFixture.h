#pragma once

#include "config/LauncherContext.h"
#include "config/MessageBoxService.h"
#include "engine/ActionEngine.h"
#include "platform/MediaPlayer.h"
#include "tests/support/ScopedEnv.h"
#include "tests/support/StubHost.h"
#include "tests/support/TempDir.h"

#include "tests/support/RecordingMessageBox.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace EngineTest {

using RecordingMessageBox = Vellmar::Testing::RecordingMessageBox;

// An engine on a stub host, with its registry, lock folder and files in a fresh folder that
// also stands for the launcher's own folder (EXE_DIR) and is the current folder. Texts: "Error" for
// error_title, "Not found: %ls" for error_filenotfound.
class EngineFixture : public ::testing::Test {
public:
    EngineFixture();
    ~EngineFixture() override;

    // Writes <autorun>body</autorun> to data/autorun.xml and starts the engine on the host;
    // the host's record starts empty afterwards.
    void Start(const std::wstring& body);
    // Runs one action element given as XML text, as a button would.
    void Run(const std::wstring& actionXml);
    // Starts with `conditions` as the conditions section and runs the condition "c".
    void RunConditionSection(const std::wstring& conditions);

    std::wstring Path(const std::string& name = {}) const { return dir.Wide(name); }
    bool Called(const std::wstring& call) const {
        return std::count(host.calls.begin(), host.calls.end(), call) > 0;
    }
    // Only the page names of ShowPage calls, in order: the tests' way of seeing what ran.
    std::vector<std::wstring> Pages() const;

    Vellmar::Testing::TempDir dir;
    Vellmar::Testing::ScopedEnv registry;
    Vellmar::Testing::ScopedEnv runtime;
    LauncherContext context;
    RecordingMessageBox boxes;
    Vellmar::MessageBoxService* previousBoxes;
    std::shared_ptr<Vellmar::Platform::MediaPlayer> media;
    std::unique_ptr<ActionEngine> engine;
    Vellmar::Testing::StubHost host;
    std::string savedDirectory;
};

} // namespace EngineTest
