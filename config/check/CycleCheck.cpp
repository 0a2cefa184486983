#include "config/check/CycleCheck.h"

#include "ltf/xml/XmlNode.h"
#include "support/Text.h"

namespace Vellmar::Check {

using LTF::Xml::XmlNode;

namespace {

enum { kUnvisited = 0, kOnPath = 1, kDone = 2 };

std::wstring Describe(const std::wstring& node) {
    const std::size_t colon = node.find(L':');
    return node.substr(0, colon) + L" '" + node.substr(colon + 1) + L"'";
}

} // namespace

CycleCheck::CycleCheck(const CheckContext& context) : context(context) {
    for (const XmlNode* queue : context.Queues()) {
        const std::wstring from = L"queue:" + queue->GetAttribute(L"name");
        for (const XmlNode* child : CheckContext::Elements(queue)) {
            if (CheckContext::Named(*child, L"delay"))
                break; // what follows runs later, from a timer, not nested
            if (CheckContext::Named(*child, L"action"))
                AddCalls(from, *child);
        }
    }
    for (const XmlNode* condition : context.Conditions()) {
        const std::wstring from = L"condition:" + condition->GetAttribute(L"name");
        for (const XmlNode* branch : CheckContext::Elements(condition))
            AddCalls(from, *branch);
    }
}

void CycleCheck::AddCalls(const std::wstring& from, const XmlNode& action) {
    if (!action.GetAttribute(L"delay").empty())
        return;
    const std::wstring keyword = ToLower(action.GetAttribute(L"action"));
    if (keyword == L"actionqueue" || keyword == L"condition")
        calls[from].push_back({(keyword == L"actionqueue" ? L"queue:" : L"condition:") +
                                   action.GetAttribute(L"value"),
                               &action});
}

void CycleCheck::Run() const {
    std::map<std::wstring, int> state;
    for (const auto& [node, out] : calls) {
        std::vector<std::wstring> path;
        if (state[node] == kUnvisited)
            Visit(node, state, path);
    }
}

// Depth first; each call that closes a cycle is reported once, where it is written.
bool CycleCheck::Visit(const std::wstring& node, std::map<std::wstring, int>& state,
                       std::vector<std::wstring>& path) const {
    state[node] = kOnPath;
    path.push_back(node);
    const auto found = calls.find(node);
    if (found != calls.end()) {
        for (const Call& call : found->second) {
            const int seen = state[call.target];
            if (seen == kOnPath) {
                std::wstring cycle;
                bool in = false;
                for (const std::wstring& step : path) {
                    in = in || step == call.target;
                    if (in)
                        cycle += Describe(step) + L" -> ";
                }
                context.Report(*call.element, L"value", Severity::Error, L"cycle",
                               cycle + Describe(call.target) +
                                   L" calls itself with no delay: the run is abandoned");
            } else if (seen == kUnvisited) {
                Visit(call.target, state, path);
            }
        }
    }
    path.pop_back();
    state[node] = kDone;
    return true;
}

} // namespace Vellmar::Check
