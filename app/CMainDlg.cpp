#include "app/CMainDlg.h"

#include "app/CautorunDlg.h"
#include "app/FirstPaintCalls.h"
#include "app/MediaWatch.h"
#include "app/PagesSection.h"
#include "config/LauncherContext.h"
#include "config/MessageBoxService.h"
#include "engine/ActionEngine.h"
#include "ltf/gui/BitmapPrefetch.h"
#include "ltf/xml/XmlNode.h"
#include "ltf/xml/XmlParser.h"
#include "platform/ChildProcess.h"
#include "platform/MediaRestart.h"
#include "support/Path.h"
#include "support/PathResolve.h"
#include "support/Text.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFontDatabase>
#include <QMouseEvent>
#include <QTimerEvent>
#include <QWindow>

using LTF::Xml::XmlNode;

namespace {

// The launcher's one event loop: a quit asked for before it runs (by the initialization, say)
// keeps it from starting at all.
int modalDepth = 0;
bool quitPending = false;

} // namespace

void CMainDlg::RequestQuit() {
    quitPending = true;
    // Leaves every event loop, also one a message box runs.
    if (modalDepth > 0)
        QCoreApplication::exit(0);
}

QEvent::Type CMainDlg::RunPostedEvent() {
    static const QEvent::Type type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

CMainDlg::CMainDlg(ActionEngine& engine, QWidget* parent)
    : QWidget(parent), engine(engine), embedded(parent != nullptr),
      afterPaint(new FirstPaintCalls(this)) {
    if (!embedded)
        setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    setAttribute(Qt::WA_NoSystemBackground);
    setFocusPolicy(Qt::NoFocus);
    resize(CautorunDlg::kDefaultWidth, CautorunDlg::kDefaultHeight);
}

CMainDlg::~CMainDlg() {
    DestroyWindow();
}

void CMainDlg::InitDialog() {
    initSignal();
    if (QWidget* focus = QApplication::focusWidget())
        focus->clearFocus();
}

int CMainDlg::DoModal() {
    quitPending = false;
    InitDialog();
    if (quitPending || destroyed)
        return 0;
    // Start-up stopped the engine before any page could be shown (a missing background, say,
    // has been reported): nothing could run or close a window that shows nothing.
    if (engine.IsStopped() && currentPage.empty())
        return 1;
    show();
    ++modalDepth;
    const int result = QApplication::exec();
    --modalDepth;
    return result;
}

bool CMainDlg::AddPage(const std::wstring& name, std::unique_ptr<CautorunDlg> page) {
    if (pages.count(name))
        return false;
    std::wstring key = name;
    pages.insert(key, page.release());
    return true;
}

CautorunDlg* CMainDlg::FindPage(const std::wstring& name) const {
    const auto found = pages.find(name);
    return found == pages.end() ? nullptr : const_cast<CautorunDlg*>(found->second);
}

std::vector<std::wstring> CMainDlg::PageNames() const {
    std::vector<std::wstring> names;
    for (const auto& entry : pages)
        names.push_back(entry.first);
    return names;
}

bool CMainDlg::DestroyWindow() {
    if (destroyed)
        return true;
    destroyed = true;
    engine.DetachHost();
    timedActionTimer.stop();
    for (const auto& entry : queueTimers)
        killTimer(entry.first);
    queueTimers.clear();
    afterPaint->Clear();
    mediaWatch.reset();
    pages.clear();
    hide();
    return true;
}

void CMainDlg::BuildPages(const std::wstring& pagesXml) {
    if (destroyed || pagesXml.empty())
        return;
    std::unique_ptr<LTF::Xml::XmlParser> parser(LTF::Xml::CreateXmlParser());
    parser->ParseString(engine.Context().strings.ExpandForXml(pagesXml));
    const PagesSection section(*parser);
    const LTF::GUI::BitmapPrefetch bitmaps(section.BitmapFiles(engine.Context().strings));
    for (const XmlNode* element : section.Pages()) {
        if (engine.IsStopped() || engine.Context().configurationFailed)
            break;
        const std::wstring name = element->GetAttribute(L"name");
        auto page = std::make_unique<CautorunDlg>(engine, *this);
        page->Build(pagesXml, name);
        if (engine.IsStopped())
            break; // the page's background was missing: no page at all is shown
        AddPage(name, std::move(page));
    }
}

void CMainDlg::ShowPage(const std::wstring& name) {
    CautorunDlg* shown = FindPage(name);
    if (!shown)
        return;
    currentPage = name;
    // Equal minimum and maximum sizes: tiling window managers float the window at its size.
    if (!embedded)
        setFixedSize(shown->size());
    shown->show();
    shown->setEnabled(true);
    for (auto entry : pages) {
        if (entry.second != shown) {
            entry.second->hide();
            entry.second->setEnabled(false);
        }
    }
    if (!embedded)
        setWindowTitle(QString::fromStdWString(engine.Context().strings.LookUp(name)));
}

void CMainDlg::CyclePage() {
    if (pages.empty())
        return;
    auto next = pages.find(currentPage);
    if (next == pages.end() || ++next == pages.end())
        next = pages.begin();
    if (next->first != currentPage)
        ShowPage(next->first);
}

void CMainDlg::ShowSubpage(const std::wstring& name) {
    for (auto entry : pages)
        entry.second->ShowSubpage(name);
}

void CMainDlg::RefreshButtons() {
    for (auto entry : pages)
        entry.second->RefreshButtons();
}

void CMainDlg::SetButtonAttribute(const std::wstring& buttonName, const XmlNode* attribute) {
    for (auto entry : pages)
        entry.second->SetButtonAttribute(buttonName, attribute);
}

void CMainDlg::Refresh() {
    for (auto entry : pages)
        entry.second->Refresh();
}

void CMainDlg::UpdateMuteButtons(const MuteBitmaps& bitmaps) {
    for (auto entry : pages)
        entry.second->UpdateMuteButtons(bitmaps);
}

void CMainDlg::Minimize() {
    window()->showMinimized();
}

void CMainDlg::Quit() {
    RequestQuit();
}

void CMainDlg::AddPrivateFont(const std::wstring& path) {
    if (!path.empty())
        QFontDatabase::addApplicationFont(QString::fromStdString(Vellmar::NativePath(path)));
}

void CMainDlg::ShowMessageBox(const std::wstring& caption, const std::wstring& text) {
    Vellmar::MessageBoxService::Current().Show(caption, text, Vellmar::MessageIcon::Stop);
}

void CMainDlg::StartTimer(int milliseconds) {
    timedActionTimer.start(std::max(milliseconds, 0), Qt::PreciseTimer, this);
}

void CMainDlg::StartQueueTimer(std::uint64_t id, int milliseconds) {
    const int timer = startTimer(std::max(milliseconds, 0), Qt::PreciseTimer);
    if (timer != 0)
        queueTimers[timer] = id;
}

void CMainDlg::AfterFirstPaint(std::function<void()> call) {
    if (!destroyed)
        afterPaint->Add(std::move(call));
}

void CMainDlg::PagePainted() {
    afterPaint->Painted();
}

bool CMainDlg::PostRunPosted() {
    // postEvent is safe from any thread; the engine stops posting before this window goes.
    QCoreApplication::postEvent(this, new QEvent(RunPostedEvent()));
    return true;
}

bool CMainDlg::event(QEvent* event) {
    if (event->type() == RunPostedEvent()) {
        engine.ProcessPostedCalls();
        return true;
    }
    return QWidget::event(event);
}

void CMainDlg::timerEvent(QTimerEvent* event) {
    if (event->timerId() == timedActionTimer.timerId()) {
        timedActionTimer.stop(); // a one-shot
        engine.RunTimedAction();
        return;
    }
    const auto queue = queueTimers.find(event->timerId());
    if (queue == queueTimers.end())
        return; // not ours to run
    const std::uint64_t id = queue->second;
    killTimer(queue->first);
    queueTimers.erase(queue);
    engine.OnQueueTimer(id);
}

// A close from the window manager (Alt+F4, a task bar's Close) ends the launcher as Escape does,
// rather than hide a window whose process, music and mutex would live on.
void CMainDlg::closeEvent(QCloseEvent* event) {
    if (embedded || destroyed) {
        QWidget::closeEvent(event);
        return;
    }
    event->ignore();
    RequestQuit();
}

void CMainDlg::mousePressEvent(QMouseEvent* event) {
    // An embedded host lets the press through to the page beneath, and so on to the top window.
    if (embedded || event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    event->accept();
    if (windowHandle() && windowHandle()->startSystemMove())
        return;
    dragOffset = event->globalPosition().toPoint() - frameGeometry().topLeft();
}

void CMainDlg::mouseMoveEvent(QMouseEvent* event) {
    if (!dragOffset || !(event->buttons() & Qt::LeftButton)) {
        event->ignore();
        return;
    }
    move(event->globalPosition().toPoint() - *dragOffset);
}

void CMainDlg::mouseReleaseEvent(QMouseEvent* event) {
    if (!dragOffset) {
        event->ignore();
        return;
    }
    dragOffset.reset();
}

void CMainDlg::WatchMedia(const std::string& mountinfo) {
    mediaWatch = std::make_unique<MediaWatch>(
        mountinfo, [this](const std::string& point) { OnMediaArrived(point); });
}

void CMainDlg::OnMediaArrived(const std::string& mountPoint) {
    LauncherContext& context = engine.Context();
    if (!context.reloadOnDiskChange || !mediaWatch || destroyed)
        return;
    const Vellmar::Platform::RestartRequest request{context.strings.LookUp(L"EXE_FILE"),
                                                    context.strings.LookUp(L"CONFIGXML_FILE"),
                                                    Vellmar::Platform::CurrentArguments()};
    const std::vector<std::string> argv =
        Vellmar::Platform::RestartCommand(request, mediaWatch->Mounts(), mountPoint);
    if (argv.empty())
        return;
    engine.ReleaseMutex();
    // The new launcher starts where this one did; that folder may be gone with the old disc.
    std::string directory = Vellmar::NativePath(context.strings.LookUp(L"EXE_DIR"));
    if (!Vellmar::IsDirectoryPath(Vellmar::Utf8ToWide(directory)))
        directory = argv.front().substr(0, argv.front().rfind('/') + 1);
    Vellmar::Platform::ChildProcess::SpawnDetached(argv, directory);
    Quit();
}
