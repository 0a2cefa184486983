#pragma once

#include "config/check/CheckContext.h"

namespace Vellmar::Check {

// Values a run cannot convert, or converts into something the author did not write: colours,
// numbers, booleans, word sets, rectangles, positions, delays, required attributes.
class ValueCheck {
public:
    explicit ValueCheck(const CheckContext& context) : context(context) {}
    void Run() const;

private:
    void CheckButton(const LTF::Xml::XmlNode& button) const;
    void CheckStateElement(const LTF::Xml::XmlNode& element) const;
    void CheckIntegers(const LTF::Xml::XmlNode& element,
                       std::initializer_list<const wchar_t*> names, Severity severity,
                       const wchar_t* code) const;
    void CheckColour(const LTF::Xml::XmlNode& element, const wchar_t* name) const;
    void CheckBoolean(const LTF::Xml::XmlNode& element, const wchar_t* name) const;
    void Require(const LTF::Xml::XmlNode& element, const wchar_t* name) const;

    const CheckContext& context;
};

} // namespace Vellmar::Check
