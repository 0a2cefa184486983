#include "engine/ActionEngine.h"

#include "config/LauncherContext.h"
#include "config/MessageBoxService.h"
#include "engine/ActionHandlers.h"
#include "engine/ConditionHandlers.h"
#include "engine/UpdateHandlers.h"
#include "ltf/xml/XmlDocument.h"
#include "ltf/xml/XmlNode.h"
#include "ltf/xml/XmlParser.h"
#include "support/LogManager.h"
#include "support/LtfException.h"
#include "support/MethodTrace.h"
#include "support/PathResolve.h"

#include <algorithm>
#include <initializer_list>
#include <mutex>
#include <string_view>

using LTF::Xml::XmlNode;
using Vellmar::Diagnostics::LogManager;
using Vellmar::Diagnostics::MethodTrace;

namespace {

std::mutex factoryLock;
NewsUpdateJobFactory& Factory() {
    static NewsUpdateJobFactory factory;
    return factory;
}

std::wstring XmlOf(const XmlNode* node) {
    return node ? node->GetXml() : std::wstring();
}

void KeepOnly(ActionEngine::HandlerMap& map, std::initializer_list<std::wstring_view> names) {
    std::erase_if(map, [&](const auto& entry) {
        return std::find(names.begin(), names.end(), entry.first) == names.end();
    });
}

} // namespace

ActionEngine::ActionEngine(LauncherContext& context, bool secondary,
                           std::shared_ptr<Vellmar::Platform::MediaPlayer> media)
    : context(context), music(std::move(media)), secondary(secondary),
      actions(std::make_unique<ActionHandlers>(*this)),
      conditions(std::make_unique<ConditionHandlers>(*this)),
      updates(std::make_unique<UpdateHandlers>(*this)) {
    actions->Register(actionHandlers);
    conditions->Register(conditionHandlers);
    updates->Register(updateHandlers);
}

ActionEngine::~ActionEngine() {
    DetachHost();
    newsUpdateJobs.clear(); // each waits for its worker
    if (secondary) {
        // The embedded launcher's name stays taken for the life of the process.
        static std::mutex keptLock;
        static std::vector<std::unique_ptr<NamedMutex>>* kept =
            new std::vector<std::unique_ptr<NamedMutex>>();
        std::lock_guard guard(keptLock);
        if (heldMutex)
            kept->push_back(std::move(heldMutex));
        return;
    }
    music.CloseAll();
    ReleaseMutex();
}

void ActionEngine::Load(const std::wstring& configPath) {
    MethodTrace trace(LogManager::getLogger(L"ActionEngine"), L"ActionEngine", L"Load");
    loadFailed = false;
    if (!Vellmar::PathExists(configPath)) {
        context.ShowLocalizedError(L"error_filenotfound", {configPath});
        loadFailed = true;
        return;
    }
    try {
        LoadSections(configPath);
    } catch (const LTF::Xml::XmlParseErrorException& e) {
        context.ShowLocalizedError(L"error_parseerror",
                                   {e.reason(), e.line(), e.column(), e.source()});
        loadFailed = true;
    } catch (const std::exception&) {
        context.ShowLocalizedError(L"error_filecorrupt", {configPath});
        loadFailed = true;
    }
    if (loadFailed && trace.isEnabledFor(3))
        trace.log(3, L"Configuration not loaded: " + configPath);
}

void ActionEngine::LoadSections(const std::wstring& configPath) {
    std::unique_ptr<LTF::Xml::XmlParser> parser(LTF::Xml::CreateXmlParser());
    parser->ParseFile(Vellmar::ResolvePath(configPath));
    const XmlNode* root = parser->GetDocument()->GetDocumentElement();
    if (!root)
        throw LTF::UnexpectedErrorException();
    const XmlNode* pages = root->GetChildNode(L"pages", 0);
    pagesXml = XmlOf(pages);
    defaultPageName = pages ? pages->GetAttribute(L"default") : std::wstring();
    conditionsXml = XmlOf(root->GetChildNode(L"conditions", 0));
    actionQueuesXml = XmlOf(root->GetChildNode(L"actionqueues", 0));
    if (const XmlNode* application = root->GetChildNode(L"application", 0)) {
        initializationXml = XmlOf(application->GetChildNode(L"initialization", 0));
        if (const XmlNode* table = application->GetChildNode(L"languagetable", 0))
            context.strings.Load(table);
    }
}

void ActionEngine::Start(EngineHost* dialog, const std::wstring& configPath) {
    postedCalls.WithLock([&] { host = dialog; });
    Load(configPath);
    RunInitialization();
    if (!stopped)
        BuildPages();
    if (!stopped && host)
        Guarded(false, [&] { host.load()->ShowPage(defaultPageName); });
    if (!stopped)
        StartNewsUpdateJobs();
    startupComplete = true;
}

void ActionEngine::Preview(EngineHost* window, const std::wstring& configPath) {
    previewing = true;
    // What decides how the pages look and only reads: an initialization that disables a button
    // shows it disabled, one that starts a program, writes or plays starts, writes and plays
    // nothing. The language is the preview's, so `update language` goes too.
    KeepOnly(actionHandlers, {L"actionqueue", L"condition", L"enablebutton", L"setbuttonattribute",
                              L"loadfont", L"subpage", L"update"});
    KeepOnly(conditionHandlers,
             {L"commandline", L"fileexist", L"floatcompare", L"ini", L"language", L"regsz"});
    KeepOnly(updateHandlers, {L"regsz", L"version"});
    postedCalls.WithLock([&] { host = window; });
    Load(configPath);
    if (loadFailed || !window)
        return;
    RunInitialization();
    Guarded(false, [&] { window->BuildPages(pagesXml); });
    Guarded(false, [&] { window->ShowPage(defaultPageName); });
}

void ActionEngine::BuildPages() {
    if (EngineHost* window = host)
        Guarded(false, [&] { window->BuildPages(pagesXml); });
    // The music starts also when the page walk ended early.
    Guarded(false, [&] { StartMusicFromPages(); });
}

void ActionEngine::StartMusicFromPages() {
    if (pagesXml.empty())
        return;
    std::unique_ptr<LTF::Xml::XmlParser> parser(LTF::Xml::CreateXmlParser());
    parser->ParseString(context.strings.ExpandForXml(pagesXml));
    const XmlNode* pages = parser->GetDocument()->GetDocumentElement();
    if (!pages)
        return;
    EngineHost* window = host;
    if (!window) {
        music.Play(pages->GetAttribute(L"music"));
        return;
    }
    // Loading the sound library takes as long as showing the page; the page goes first.
    if (music.Reserve(pages->GetAttribute(L"music")))
        window->AfterFirstPaint([this] {
            music.StartReserved([this](Call start) { PostToUiThread(std::move(start)); });
        });
}

void ActionEngine::StartNewsUpdateJobs() {
    for (auto& job : newsUpdateJobs)
        Guarded(false, [&] { job->Start(); });
}

void ActionEngine::AddNewsUpdateJob(NewsUpdateRequest request) {
    NewsUpdateJobFactory factory;
    {
        std::lock_guard guard(factoryLock);
        factory = Factory();
    }
    if (!factory)
        return;
    std::unique_ptr<NewsUpdateJob> job = factory(*this, std::move(request));
    if (!job)
        return;
    newsUpdateJobs.push_back(std::move(job));
    if (startupComplete)
        newsUpdateJobs.back()->Start();
}

void ActionEngine::SetNewsUpdateJobFactory(NewsUpdateJobFactory factory) {
    std::lock_guard guard(factoryLock);
    Factory() = std::move(factory);
}

void ActionEngine::DetachHost() {
    postedCalls.WithLock([&] { host = nullptr; });
}

bool ActionEngine::IsButtonDisabled(const std::wstring& buttonName) const {
    const auto found = disabledButtons.find(buttonName);
    return found != disabledButtons.end() && found->second;
}

void ActionEngine::SetButtonDisabled(const std::wstring& buttonName, bool disabled) {
    disabledButtons[buttonName] = disabled;
}

void ActionEngine::ShowError(const std::wstring& text) {
    const std::wstring caption = context.strings.LookUp(L"error_title");
    if (EngineHost* window = host)
        window->ShowMessageBox(caption, text);
    else
        Vellmar::MessageBoxService::Current().Show(caption, text, Vellmar::MessageIcon::Stop);
}

bool ActionEngine::TakeMutex(const std::wstring& name) {
    if (heldMutex)
        return false;
    heldMutex = std::make_unique<NamedMutex>(name);
    heldMutex->ListenForActivation();
    return true;
}

void ActionEngine::ReleaseMutex() {
    if (heldMutex)
        heldMutex->Release();
    heldMutex.reset();
}
