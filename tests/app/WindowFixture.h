#pragma once

#include "app/CMainDlg.h"
#include "app/CautorunDlg.h"
#include "ltf/gui/CFxButton.h"
#include "tests/support/LauncherSandbox.h"

#include <QColor>

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace AppTest {

// A real main dialog with its engine on a configuration, in a launcher sandbox.
class WindowFixture : public Vellmar::Testing::LauncherSandbox {
public:
    WindowFixture();
    ~WindowFixture() override;

    // Writes <autorun>body</autorun> as data/autorun.xml and opens it.
    void Start(const std::wstring& body) { Open(WriteConfiguration(body)); }
    // Starts the engine on `file` through the dialog's initSignal and shows the dialog.
    void Open(const std::wstring& file);

    // A BMP of one colour below the folder; its path.
    std::wstring Bitmap(const std::string& name, int width, int height, QColor colour) const;

    CautorunDlg& Page(const std::wstring& name) const;
    // Presses and releases the left button in the middle of the control, through the window.
    void Click(const std::wstring& page, int controlId);
    // Runs the event loop until `done` holds or the time is up; false on time-out.
    static bool WaitFor(const std::function<bool()>& done,
                        std::chrono::milliseconds limit = std::chrono::seconds(5));

    std::unique_ptr<CMainDlg> dialog;
};

// A button description placed at (x, y), 40 x 20, that runs `action` with `value`.
std::wstring Button(const std::wstring& name, const std::wstring& action, const std::wstring& value,
                    int x = 10, int y = 10);

} // namespace AppTest
