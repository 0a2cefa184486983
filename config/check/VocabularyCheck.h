#pragma once

#include "config/check/CheckContext.h"

namespace Vellmar::Check {

// Names a run does not know: elements where a section defines its children, action and
// condition keywords, update types, and the elements and attributes of a button description.
class VocabularyCheck {
public:
    explicit VocabularyCheck(const CheckContext& context) : context(context) {}
    void Run() const;

private:
    void CheckChildren(const LTF::Xml::XmlNode* parent,
                       std::initializer_list<const wchar_t*> known) const;
    void CheckKeywords() const;
    void CheckConditionBranches(const LTF::Xml::XmlNode& condition) const;
    void CheckButton(const LTF::Xml::XmlNode& button) const;
    void CheckStateAttributes(const LTF::Xml::XmlNode& button,
                              const LTF::Xml::XmlNode& element) const;

    const CheckContext& context;
};

} // namespace Vellmar::Check
