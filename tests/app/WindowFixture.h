#pragma once

#include "app/CMainDlg.h"
#include "app/CautorunDlg.h"
#include "config/LauncherContext.h"
#include "config/MessageBoxService.h"
#include "engine/ActionEngine.h"
#include "ltf/gui/CFxButton.h"
#include "platform/MediaPlayer.h"
#include "tests/support/ScopedEnv.h"
#include "tests/support/TempDir.h"

#include <QColor>

#include "tests/support/RecordingMessageBox.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace AppTest {

using RecordingMessageBox = Vellmar::Testing::RecordingMessageBox;

// A real main dialog with its engine on a configuration in a fresh folder (which also stands
// for EXE_DIR). Texts: "Error" for error_title, "Missing: %ls" for error_filenotfound,
// "Bad: %ls" for error_xmldata.
class WindowFixture : public ::testing::Test {
public:
    WindowFixture();
    ~WindowFixture() override;

    // Writes <autorun>body</autorun> as data/autorun.xml, starts the engine through the
    // dialog's initSignal and shows the dialog.
    void Start(const std::wstring& body);

    // A BMP of one colour below the folder; its path.
    std::wstring Bitmap(const std::string& name, int width, int height, QColor colour) const;

    CautorunDlg& Page(const std::wstring& name) const;
    // Presses and releases the left button in the middle of the control, through the window.
    void Click(const std::wstring& page, int controlId);
    // Runs the event loop until `done` holds or the time is up; false on time-out.
    static bool WaitFor(const std::function<bool()>& done,
                        std::chrono::milliseconds limit = std::chrono::seconds(5));

    std::vector<std::wstring> Captions() const;

    Vellmar::Testing::TempDir dir;
    Vellmar::Testing::ScopedEnv registry;
    Vellmar::Testing::ScopedEnv runtime;
    LauncherContext context;
    RecordingMessageBox boxes;
    Vellmar::MessageBoxService* previousBoxes;
    std::shared_ptr<Vellmar::Platform::MediaPlayer> media;
    std::unique_ptr<ActionEngine> engine;
    std::unique_ptr<CMainDlg> dialog;
    std::string savedDirectory;
};

// A button description placed at (x, y), 40 x 20, that runs `action` with `value`.
std::wstring Button(const std::wstring& name, const std::wstring& action, const std::wstring& value,
                    int x = 10, int y = 10);

} // namespace AppTest
