// The runs of the engine: initialization, queues with their delays, dispatch, conditions, the
// timed action and posted calls.
#include "engine/ActionEngine.h"

#include "config/LauncherContext.h"
#include "engine/EngineText.h"
#include "ltf/xml/XmlDocument.h"
#include "ltf/xml/XmlNode.h"
#include "ltf/xml/XmlNodeList.h"
#include "ltf/xml/XmlParser.h"
#include "support/LogManager.h"
#include "support/MethodTrace.h"
#include "support/Text.h"

#include <algorithm>

using LTF::Xml::XmlNode;
using Vellmar::Diagnostics::LogManager;
using Vellmar::Diagnostics::MethodTrace;

namespace {

// Thrown past kMaxNesting; not a std::exception, so that only the outermost level stops it.
struct RunAbandoned {};

class NestingScope {
public:
    explicit NestingScope(int& depth) : depth(depth) { ++depth; }
    ~NestingScope() { --depth; }
    NestingScope(const NestingScope&) = delete;
    NestingScope& operator=(const NestingScope&) = delete;

private:
    int& depth;
};

std::unique_ptr<LTF::Xml::XmlParser> Parse(const std::wstring& text) {
    std::unique_ptr<LTF::Xml::XmlParser> parser(LTF::Xml::CreateXmlParser());
    parser->ParseString(text);
    return parser;
}

void LogDropped(const wchar_t* method, const std::exception& failure) {
    MethodTrace trace(LogManager::getLogger(L"ActionEngine"), L"ActionEngine", method);
    if (trace.isEnabledFor(3))
        trace.log(3, L"Run abandoned: " + Vellmar::Utf8ToWide(failure.what()));
}

} // namespace

void ActionEngine::Guarded(bool nestingLevel, const std::function<void()>& body) {
    const bool outermost = nesting == 0;
    try {
        if (!nestingLevel) {
            body();
            return;
        }
        if (nesting >= kMaxNesting)
            throw RunAbandoned{};
        NestingScope scope(nesting);
        body();
    } catch (const RunAbandoned&) {
        if (!outermost)
            throw;
    } catch (const std::exception& failure) {
        if (!outermost && !nestingLevel)
            throw;
        LogDropped(L"Run", failure);
    }
}

void ActionEngine::RunInitialization() {
    if (initializationXml.empty())
        return;
    // A level of its own, so that a failing `init` ends the whole initialization instead of
    // being dropped by that action's own guard.
    Guarded(true, [&] {
        const auto parser = Parse(initializationXml);
        const XmlNode* initialization = parser->GetDocument()->GetDocumentElement();
        const LTF::Xml::XmlNodeList* children = initialization->GetChildNodes();
        for (int i = 0; i < children->GetLength() && !stopped; ++i) {
            XmlNode* child = children->GetItem(i);
            if (Vellmar::EqualsIgnoreCase(child->GetName(), L"init"))
                ExecuteAction(child);
        }
    });
}

void ActionEngine::RunActionQueue(const std::wstring& name, int startIndex) {
    if (stopped || actionQueuesXml.empty())
        return;
    Guarded(true, [&] {
        const auto parser = Parse(actionQueuesXml);
        XmlNode* queue = parser->GetDocument()->GetDocumentElement()->FindChildNode(
            L"name", name, L"actionqueue", 0);
        if (queue)
            RunQueueChildren(name, *queue, startIndex);
    });
}

void ActionEngine::RunQueueChildren(const std::wstring& name, XmlNode& queue, int startIndex) {
    delayPending = false;
    const LTF::Xml::XmlNodeList* children = queue.GetChildNodes();
    for (int i = std::max(startIndex, 0); i < children->GetLength(); ++i) {
        XmlNode* child = children->GetItem(i);
        const std::wstring kind = child->GetName();
        if (Vellmar::EqualsIgnoreCase(kind, L"action"))
            ExecuteAction(child);
        else if (Vellmar::EqualsIgnoreCase(kind, L"delay"))
            WaitOnDelay(name, i + 1, *child);
        if (stopped || delayPending)
            break;
    }
}

void ActionEngine::WaitOnDelay(const std::wstring& name, int nextIndex, XmlNode& delay) {
    const int milliseconds = std::max(EngineText::LeadingDecimal(delay.GetAttribute(L"value")), 0);
    delayPending = true;
    EngineHost* window = host;
    if (!window || previewing)
        return; // nothing could ever resume it, or nothing may
    const std::uint64_t id = nextDelayId++;
    delays[id] = DelayRecord{nextIndex, name, this};
    window->StartQueueTimer(id, milliseconds);
}

void ActionEngine::OnQueueTimer(std::uint64_t id) {
    const auto found = delays.find(id);
    if (found == delays.end())
        return;
    const DelayRecord record = std::move(found->second);
    delays.erase(found);
    RunActionQueue(record.queueName, record.nextIndex);
}

void ActionEngine::ExecuteAction(XmlNode* action) {
    if (!action)
        return;
    Guarded(false, [&] {
        const std::wstring delay = action->GetAttribute(L"delay");
        if (delay.empty()) {
            Dispatch(*action);
            return;
        }
        action->RemoveAttribute(L"delay");
        const std::wstring xml = action->GetXml();
        ScheduleTimedAction(xml, EngineText::StrictDecimal(delay));
    });
}

void ActionEngine::Dispatch(XmlNode& action) {
    const std::wstring name = Vellmar::ToLower(action.GetAttribute(L"action"));
    MethodTrace trace(LogManager::getLogger(L"ActionEngine"), L"ActionEngine", L"ExecuteAction");
    if (trace.isEnabledFor(3))
        trace.log(3, L"Action: " + name);
    const auto found = actionHandlers.find(name);
    if (found != actionHandlers.end())
        found->second(&action);
}

void ActionEngine::ExecuteActionXml(const std::wstring& actionXml) {
    Guarded(false, [&] {
        const auto parser = Parse(actionXml);
        ExecuteAction(parser->GetDocument()->GetDocumentElement());
    });
}

void ActionEngine::RunCondition(const std::wstring& name) {
    if (conditionsXml.empty())
        return;
    Guarded(true, [&] {
        const auto parser = Parse(conditionsXml);
        XmlNode* condition = parser->GetDocument()->GetDocumentElement()->FindChildNode(
            L"name", name, L"condition", 0);
        if (!condition)
            return;
        const auto found =
            conditionHandlers.find(Vellmar::ToLower(condition->GetAttribute(L"type")));
        if (found != conditionHandlers.end())
            found->second(condition);
    });
}

void ActionEngine::RunUpdate(XmlNode* update) {
    const auto found = updateHandlers.find(Vellmar::ToLower(update->GetAttribute(L"updatetype")));
    if (found != updateHandlers.end())
        found->second(update);
}

void ActionEngine::ScheduleTimedAction(const std::wstring& actionXml, int delayMs) {
    EngineHost* window = host;
    if (previewing)
        return;
    if (timedAction) {
        ShowError(L"Timed action already set.");
        return;
    }
    if (!window)
        return; // no timer to run it
    timedAction = [this, actionXml] { ExecuteActionXml(actionXml); };
    window->StartTimer(std::max(delayMs, 0));
}

void ActionEngine::RunTimedAction() {
    Call action = std::move(timedAction);
    timedAction = nullptr; // empty before the call: the action may schedule the next one
    // A closing launcher's event loop would not have delivered it.
    if (action && !stopped)
        Guarded(false, action);
}

void ActionEngine::PostToUiThread(Call call) {
    postedCalls.Post(std::move(call), [&] {
        EngineHost* window = host;
        return window && window->PostRunPosted();
    });
}

void ActionEngine::ProcessPostedCalls() {
    for (const Call& call : postedCalls.TakeAll())
        Guarded(false, call);
}
