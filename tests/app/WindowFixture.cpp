#include "tests/app/WindowFixture.h"

#include "support/Text.h"
#include "tests/support/QtApplicationEnvironment.h"

#include <QDeadlineTimer>
#include <QImage>
#include <QTest>

#include <filesystem>

namespace AppTest {

[[maybe_unused]] ::testing::Environment* const environment =
    ::testing::AddGlobalTestEnvironment(new Vellmar::Testing::QtApplicationEnvironment);

WindowFixture::WindowFixture() : LauncherSandbox("vellmar-Fen\u00eatre-\u7a97\u53e3") {
    dialog = std::make_unique<CMainDlg>(*engine);
}

WindowFixture::~WindowFixture() {
    dialog.reset();
}

void WindowFixture::Open(const std::wstring& file) {
    dialog->initSignal.connect([this, file] { engine->Start(dialog.get(), file); });
    dialog->InitDialog();
    dialog->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(dialog.get()));
}

std::wstring WindowFixture::Bitmap(const std::string& name, int width, int height,
                                   QColor colour) const {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colour);
    const std::filesystem::path path = dir / name;
    std::filesystem::create_directories(path.parent_path());
    EXPECT_TRUE(image.save(QString::fromStdString(path.string()), "BMP")) << name;
    return Vellmar::Utf8ToWide(path.string());
}

CautorunDlg& WindowFixture::Page(const std::wstring& name) const {
    CautorunDlg* page = dialog->FindPage(name);
    if (!page)
        throw std::runtime_error("no page " + Vellmar::WideToUtf8(name));
    return *page;
}

void WindowFixture::Click(const std::wstring& page, int controlId) {
    const LTF::GUI::CFxButton& button = Page(page).Button(PageControls::SlotOfControl(controlId));
    const QPoint centre = button.mapTo(dialog.get(), button.rect().center());
    QTest::mouseClick(dialog->windowHandle(), Qt::LeftButton, Qt::NoModifier, centre);
}

bool WindowFixture::WaitFor(const std::function<bool()>& done, std::chrono::milliseconds limit) {
    QDeadlineTimer deadline(limit);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QTest::qWait(5);
    }
    return true;
}

std::wstring Button(const std::wstring& name, const std::wstring& action, const std::wstring& value,
                    int x, int y) {
    return L"<xmlbutton name=\"" + name + L"\" action=\"" + action + L"\" value=\"" + value +
           L"\"><position x=\"" + std::to_wstring(x) + L"\" y=\"" + std::to_wstring(y) +
           L"\"/><size width=\"40\" height=\"20\"/></xmlbutton>";
}

} // namespace AppTest
