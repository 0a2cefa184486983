#pragma once

#include "config/check/CheckContext.h"

namespace Vellmar::Check {

// Files a run opens: backgrounds, button bitmaps, sounds, music, fonts, programs, subpages.
// A name that only matches in another letter case works on this machine, which matches names
// as a Windows one does, but not on a case-sensitive copy of the media made elsewhere.
class FileCheck {
public:
    explicit FileCheck(const CheckContext& context) : context(context) {}
    void Run() const;

    // The folder a subpage's `path` or `backup` attribute names, as the window reads it.
    static std::wstring SubpageFolder(const CheckContext& context, const std::wstring& raw);

private:
    void CheckPage(const LTF::Xml::XmlNode& page) const;
    void CheckButton(const LTF::Xml::XmlNode& button) const;
    void CheckSubpage(const LTF::Xml::XmlNode& subpage) const;
    void CheckAction(const ActionSite& site) const;
    // Reports a missing file (with `missing` severity) or a letter-case-only match.
    void Expect(const LTF::Xml::XmlNode& element, const std::wstring& attribute,
                const std::wstring& path, Severity missing = Severity::Error) const;

    const CheckContext& context;
};

} // namespace Vellmar::Check
