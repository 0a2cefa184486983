#include "tests/app/WindowFixture.h"

#include "support/Text.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QImage>
#include <QTest>

#include <unistd.h>

#include <filesystem>

namespace AppTest {

namespace {

// Every window test needs the one application object.
class QtEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        if (!QApplication::instance()) {
            static int argc = 1;
            static char name[] = "tests_app";
            static char* argv[] = {name, nullptr};
            app = new QApplication(argc, argv);
        }
    }
    void TearDown() override { delete app; }

private:
    QApplication* app = nullptr;
};

[[maybe_unused]] ::testing::Environment* const environment =
    ::testing::AddGlobalTestEnvironment(new QtEnvironment);

const std::wstring kStrings = LR"(<languagetable>
  <strings language="en">
    <string name="error_title">Error</string>
    <string name="error_filenotfound">Missing: %ls</string>
    <string name="error_xmldata">Bad: %ls</string>
    <string name="main">Main title</string>
  </strings>
</languagetable>)";

std::string CurrentDirectory() {
    char buffer[4096] = {};
    return ::getcwd(buffer, sizeof buffer) ? buffer : "/";
}

} // namespace

WindowFixture::WindowFixture()
    : dir("vellmar-window"), registry("VELLMAR_REGISTRY_DIR", (dir / "registry").string()),
      runtime("XDG_RUNTIME_DIR", (dir / "run").string()),
      previousBoxes(Vellmar::MessageBoxService::Install(&boxes)),
      media(std::make_shared<Vellmar::Platform::MediaPlayer>("fakesink sync=true")),
      savedDirectory(CurrentDirectory()) {
    std::filesystem::create_directories(dir / "registry");
    std::filesystem::create_directories(dir / "run");
    std::filesystem::permissions(dir / "run", std::filesystem::perms::owner_all);
    context.strings.LoadFromString(kStrings);
    context.strings.SetBuiltInVariable(L"EXE_DIR", dir.Wide());
    context.strings.SetBuiltInVariable(L"EXE_BASENAME", L"autorun");
    context.selectedLanguage = context.requestedLanguage = L"en";
    if (::chdir(dir.Path().c_str()) != 0)
        ADD_FAILURE() << "cannot enter " << dir.Path();
    engine = std::make_unique<ActionEngine>(context, false, media);
    dialog = std::make_unique<CMainDlg>(*engine);
}

WindowFixture::~WindowFixture() {
    dialog.reset();
    engine.reset();
    Vellmar::MessageBoxService::Install(previousBoxes);
    if (::chdir(savedDirectory.c_str()) != 0) {
        // nothing to go back to
    }
}

void WindowFixture::Start(const std::wstring& body) {
    dir.Write("data/autorun.xml", Vellmar::WideToUtf8(L"<autorun>" + body + L"</autorun>"));
    const std::wstring file = dir.Wide("data/autorun.xml");
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

std::vector<std::wstring> WindowFixture::Captions() const {
    std::vector<std::wstring> captions;
    for (const auto& box : boxes.shown)
        captions.push_back(box.first);
    return captions;
}

std::wstring Button(const std::wstring& name, const std::wstring& action, const std::wstring& value,
                    int x, int y) {
    return L"<xmlbutton name=\"" + name + L"\" action=\"" + action + L"\" value=\"" + value +
           L"\"><position x=\"" + std::to_wstring(x) + L"\" y=\"" + std::to_wstring(y) +
           L"\"/><size width=\"40\" height=\"20\"/></xmlbutton>";
}

} // namespace AppTest
