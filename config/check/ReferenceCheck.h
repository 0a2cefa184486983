#pragma once

#include "config/check/CheckContext.h"

#include <set>
#include <string>

namespace Vellmar::Check {

// Names that lead nowhere: queues, conditions, pages, subpages, buttons, strings and ${name}
// variables that nothing defines; and pages that no action shows.
class ReferenceCheck {
public:
    explicit ReferenceCheck(const CheckContext& context);
    void Run() const;

private:
    void CheckSite(const ActionSite& site) const;
    void CheckButtonStrings(const LTF::Xml::XmlNode& button) const;
    void CheckVariables(const LTF::Xml::XmlNode& element) const;
    void CheckVariablesIn(const LTF::Xml::XmlNode& element, const std::wstring& attribute,
                          const std::wstring& text) const;
    void CheckReachable() const;
    void Expect(const std::set<std::wstring>& names, const LTF::Xml::XmlNode& element,
                const wchar_t* attribute, const std::wstring& value, Severity severity,
                const wchar_t* code, const wchar_t* what) const;

    const CheckContext& context;
    std::set<std::wstring> queues, conditions, pages, subpages, buttons;
    // Variables that actions of the configuration set while it runs.
    std::set<std::wstring> runtimeVariables;
};

} // namespace Vellmar::Check
