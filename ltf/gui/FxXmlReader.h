#pragma once

#include "ltf/gui/FxTypes.h"

#include <string>
#include <vector>

namespace LTF::Xml {
class XmlNode;
}

namespace LTF::GUI {

class CFxButton;

// Reads button descriptions and single attributes from configuration elements into a button.
class FxXmlReader {
public:
    explicit FxXmlReader(CFxButton& button) : button(button) {}

    // xmlbutton, xmlhyperlink or xmlimagelink; false for another name or after a bitmap of
    // this button failed to load.
    bool ReadButton(const Xml::XmlNode& element);
    // The kind named by the element's `attribute`; every start value is the current one.
    void ApplyAttribute(const Xml::XmlNode& element);
    // One child of a button description, read as ReadButton reads it (a page re-reads its
    // buttons' texts after a language change).
    void ReadElement(const Xml::XmlNode& element);

    // The texts a per-state element carries; empty when missing.
    struct StateTexts {
        PerState<std::wstring> values;
        bool duplicate = false;
        bool update = false;
    };
    static StateTexts ReadStateTexts(const Xml::XmlNode& element);
    // The per-state elements this reader handles (the checker's vocabulary must list the same).
    static std::vector<std::wstring> StateElementNames();

private:
    // `applying`: start from the current values whatever `update` says.
    void Apply(const std::wstring& rawName, const Xml::XmlNode& element, bool applying);
    bool ApplyPerState(const std::wstring& name, const Xml::XmlNode& element, bool applying);
    void ReadPosition(const Xml::XmlNode& element);
    void ReadSound(const Xml::XmlNode& element);
    void ReadCursor(const Xml::XmlNode& element);
    void ReadTooltip(const Xml::XmlNode& element);

    CFxButton& button;
};

// True when the element carries the attribute, also with an empty value.
bool HasAttribute(const Xml::XmlNode& element, const std::wstring& name);

} // namespace LTF::GUI
