// The main dialog as a window: its event loop and keys, dragging, subpages, a restart.
#include "tests/app/WindowFixture.h"

#include "app/KeyFilter.h"
#include "app/MediaWatch.h"
#include "app/Subpage.h"
#include "platform/MediaRestart.h"
#include "support/Text.h"
#include "tests/support/ArgvRecord.h"

#include <QApplication>
#include <QPointer>
#include <QTest>
#include <QTimer>

#include <filesystem>

using namespace AppTest;
namespace fs = std::filesystem;

namespace {

const std::wstring kTwoPages = L"<pages default=\"a\"><page name=\"a\">" +
                               Button(L"go", L"page", L"b") + L"</page><page name=\"b\"/></pages>";

class MainDialog : public WindowFixture {
protected:
    // Runs the dialog's own loop with the key filter, with `script` started inside it; false
    // when the loop had to be ended from outside.
    bool RunModal(const std::function<void()>& script) {
        KeyFilter keys;
        qApp->installEventFilter(&keys);
        const std::wstring file = dir.Wide("data/autorun.xml");
        dialog->initSignal.connect([this, file] { engine->Start(dialog.get(), file); });
        bool stuck = false;
        QTimer::singleShot(0, dialog.get(), script);
        QTimer::singleShot(10000, qApp, [&] {
            stuck = true;
            CMainDlg::RequestQuit();
        });
        dialog->DoModal();
        qApp->removeEventFilter(&keys);
        return !stuck;
    }
};

} // namespace

TEST_F(MainDialog, EscapeClosesAndOtherKeysDoNothing) {
    dir.Write("data/autorun.xml", Vellmar::WideToUtf8(L"<autorun>" + kTwoPages + L"</autorun>"));
    bool stillOpen = false;
    std::wstring pageBeforeEscape;
    const bool ended = RunModal([&] {
        QWindow* window = dialog->windowHandle();
        Page(L"a").Button(1).setFocus();
        for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Space, Qt::Key_A, Qt::Key_F4})
            QTest::keyClick(window, key);
        QTest::keyClick(window, Qt::Key_F4, Qt::AltModifier);
        QTest::qWait(20);
        stillOpen = dialog->isVisible();
        pageBeforeEscape = dialog->CurrentPage();
        QTest::keyClick(window, Qt::Key_Escape, Qt::AltModifier);
    });
    EXPECT_TRUE(ended) << "Alt+Escape ends the loop";
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(pageBeforeEscape, L"a") << "Space on a focused button does not press it";

    EXPECT_TRUE(RunModal([&] { QTest::keyClick(dialog->windowHandle(), Qt::Key_Escape); }));
}

TEST_F(MainDialog, CloseInTheInitializationNeverShowsTheWindow) {
    dir.Write("data/autorun.xml", "<autorun><application><initialization><init action='system' "
                                  "value='close'/></initialization></application></autorun>");
    EXPECT_TRUE(RunModal([] {}));
    EXPECT_FALSE(dialog->isVisible());
}

TEST_F(MainDialog, PressOnTheSurfaceDragsTheWindow) {
    dir.Write("sub/sub.xml", "<autorun><pages default='s'><page name='s'/></pages></autorun>");
    Start(L"<pages default='a'><page name='a'><subpage name='s'><source path='${EXE_DIR}/sub' "
          L"file='sub.xml'/><position x='200' y='100'/><size width='100' height='50'/></subpage>"
          L"</page></pages>");
    ASSERT_NE(Page(L"a").FindSubpage(L"s")->Host(), nullptr);
    // Inside the embedded subpage: the press passes through the subpage's window to the
    // launcher's. (On the page's own surface: tests/desktop, under a window manager.)
    QWindow* window = dialog->windowHandle();
    const QPoint start(220, 120), before = dialog->pos();
    QTest::mousePress(window, Qt::LeftButton, Qt::NoModifier, start);
    QTest::mouseMove(window, start + QPoint(30, 20));
    // The window went along with the pointer: it is still over the same point of it.
    QTest::mouseRelease(window, Qt::LeftButton, Qt::NoModifier, start);
    EXPECT_TRUE(WaitFor([&] { return dialog->pos() == before + QPoint(30, 20); }))
        << "moved to " << dialog->pos().x() << "," << dialog->pos().y();
}

TEST_F(MainDialog, SubpageFromBackupIsCopiedOnceAndShown) {
    dir.Write("backup/news.xml", "<autorun><pages default='n'><page name='n'/></pages></autorun>");
    dir.Write("backup/art/x.txt", "art");
    Start(L"<pages default='a'><page name='a'><subpage name='news'><source "
          L"path='${EXE_DIR}/news\\' backup='${EXE_DIR}/backup' file='news.xml'/><position x='5' "
          L"y='6'/><size width='50' height='30'/><size height='31'/><position x='oops'/></subpage>"
          L"<subpage name='gone'><source path='${EXE_DIR}/none' backup='${EXE_DIR}/nob' "
          L"file='x.xml'/></subpage></page></pages>");
    Subpage& news = *Page(L"a").FindSubpage(L"news");
    ASSERT_NE(news.Host(), nullptr);
    EXPECT_TRUE(news.Host()->IsEmbedded());
    EXPECT_EQ(news.Host()->geometry(), QRect(5, 6, 50, 31));
    EXPECT_TRUE(news.Host()->isVisible());
    EXPECT_EQ(news.Host()->CurrentPage(), L"n");
    EXPECT_EQ(dir.Read("news/art/x.txt"), "art");

    dir.Write("news/marker", "kept");
    const QPointer<CMainDlg> first(news.Host());
    dialog->ShowSubpage(L"news");
    EXPECT_EQ(dir.Read("news/marker"), "kept") << "the file is there: no second copy";
    ASSERT_NE(news.Host(), nullptr);
    EXPECT_TRUE(first.isNull()) << "loaded again in a window of its own";
    for (const auto& entry : fs::directory_iterator(dir.Path()))
        EXPECT_NE(entry.path().filename().string().size(), 36u) << "a left-over copy";

    EXPECT_EQ(Page(L"a").FindSubpage(L"gone")->Host(), nullptr);
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(MainDialog, NewDiscRestartsTheLauncherFromIt) {
    const fs::path oldDisc = dir / "old disc", newDisc = dir / "new";
    dir.Write("old disc/autorun", "");
    dir.Write("old disc/data/autorun.xml", "");
    dir.Write("new/data/autorun.xml", "");
    fs::copy_file(Vellmar::Testing::ArgvRecorderPath(), newDisc / "autorun");
    const auto line = [](int id, const std::string& point) {
        return std::to_string(id) + " 1 0:1 / " + point + " rw - tmpfs x rw\n";
    };
    const std::string escapedOld = (dir / "old\\040disc").string();
    dir.Write("mountinfo", line(1, "/") + line(2, escapedOld));
    context.strings.SetBuiltInVariable(L"EXE_FILE", dir.Wide("old disc/autorun"));
    context.strings.SetBuiltInVariable(L"EXE_DIR", dir.Wide("old disc"));
    context.strings.SetBuiltInVariable(L"CONFIGXML_FILE", dir.Wide("old disc/data/autorun.xml"));
    Vellmar::Testing::ScopedEnv out("ARGV_RECORDER_OUT", (dir / "record").string());
    Start(kTwoPages);
    dialog->WatchMedia((dir / "mountinfo").string());

    dir.Write("mountinfo", line(1, "/") + line(2, escapedOld) + line(3, newDisc.string()));
    dialog->Media()->Check();
    EXPECT_FALSE(fs::exists(dir / "record")) << "reloading was not asked for";

    context.reloadOnDiskChange = true;
    dir.Write("mountinfo", line(1, "/") + line(2, escapedOld));
    dialog->Media()->Check();
    dir.Write("mountinfo", line(1, "/") + line(2, escapedOld) + line(4, newDisc.string()));
    dialog->Media()->Check();
    const auto record = Vellmar::Testing::WaitForArgvRecord(dir / "record");
    ASSERT_TRUE(record.has_value());
    EXPECT_EQ(record->cwd, oldDisc.string());
    std::vector<std::string> expected = Vellmar::Platform::CurrentArguments();
    expected.insert(expected.begin(), (newDisc / "autorun").string());
    EXPECT_EQ(record->args, expected);
}
