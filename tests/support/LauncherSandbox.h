#pragma once

#include "config/LauncherContext.h"
#include "config/MessageBoxService.h"
#include "engine/ActionEngine.h"
#include "platform/MediaPlayer.h"
#include "tests/support/ScopedEnv.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace Vellmar::Testing {

// Keeps every message box as (caption, text) instead of showing it.
class RecordingMessageBox : public MessageBoxService {
public:
    void Show(const std::wstring& caption, const std::wstring& text, MessageIcon) override {
        shown.emplace_back(caption, text);
    }
    std::vector<std::pair<std::wstring, std::wstring>> shown;
};

// What an engine needs around it, kept away from the user's own files: a fresh folder that
// stands for the launcher's folder (EXE_DIR) and is the current folder, the registry and lock
// folders inside it, recorded message boxes and a silent media player. Texts: "Error" for
// error_title ("Erreur" in fr), "Not found: %ls" for error_filenotfound, "Bad: %ls" for
// error_xmldata, "Parse: %ls at %i:%i in %ls", "Corrupt: %ls", and "Main title" for main.
class LauncherSandbox : public ::testing::Test {
public:
    explicit LauncherSandbox(const std::string& prefix);
    ~LauncherSandbox() override;

    // Writes <autorun>body</autorun> to data/autorun.xml; its path.
    std::wstring WriteConfiguration(const std::wstring& body) const;

    TempDir dir;
    ScopedEnv registry;
    ScopedEnv runtime;
    LauncherContext context;
    RecordingMessageBox boxes;
    MessageBoxService* previousBoxes;
    std::shared_ptr<Platform::MediaPlayer> media;
    std::unique_ptr<ActionEngine> engine;

private:
    std::filesystem::path savedDirectory;
};

} // namespace Vellmar::Testing
