#pragma once

#include "config/check/CheckContext.h"

#include <map>
#include <string>
#include <vector>

namespace Vellmar::Check {

// Queues and conditions that call themselves, through any others, with no delay on the way:
// a run nests them until its limit and then abandons the whole run.
class CycleCheck {
public:
    explicit CycleCheck(const CheckContext& context);
    void Run() const;

private:
    struct Call {
        std::wstring target; // "queue:name" or "condition:name"
        const LTF::Xml::XmlNode* element;
    };
    void AddCalls(const std::wstring& from, const LTF::Xml::XmlNode& action);
    bool Visit(const std::wstring& node, std::map<std::wstring, int>& state,
               std::vector<std::wstring>& path) const;

    const CheckContext& context;
    std::map<std::wstring, std::vector<Call>> calls;
};

} // namespace Vellmar::Check
