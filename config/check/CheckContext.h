#pragma once

#include "config/check/Findings.h"
#include "config/check/SourceLocator.h"

#include <string>
#include <vector>

class LauncherContext;

namespace LTF::Xml {
class XmlNode;
}

namespace Vellmar::Check {

// One element that a run hands to the engine as an action, with where it stands.
struct ActionSite {
    const LTF::Xml::XmlNode* element = nullptr;
    // In the `pages` section, whose text a run expands before parsing it.
    bool expanded = false;
};

// What every check reads: the parsed configuration, its sections, the string table as a run
// fills it, where each node stands in the file, and the findings being collected.
class CheckContext {
public:
    CheckContext(LauncherContext& launcher, const LTF::Xml::XmlNode& root, std::wstring file,
                 const SourceLocator& locator, Findings& findings, std::wstring onlyLanguage);

    void Report(const LTF::Xml::XmlNode& node, const std::wstring& attribute, Severity severity,
                const wchar_t* code, const std::wstring& text) const;

    LauncherContext& Launcher() const { return launcher; }
    const std::wstring& File() const { return file; }
    // Empty unless /lang named one language.
    const std::wstring& OnlyLanguage() const { return onlyLanguage; }

    const LTF::Xml::XmlNode& Root() const { return root; }
    // Sections as a run finds them: the first child of that name, letter case ignored.
    const LTF::Xml::XmlNode* Section(const wchar_t* name) const;
    const LTF::Xml::XmlNode* Application() const;
    const LTF::Xml::XmlNode* Pages() const { return Section(L"pages"); }

    // Named `page` elements of `pages` in document order (the default page included).
    std::vector<const LTF::Xml::XmlNode*> PageElements() const;
    std::vector<const LTF::Xml::XmlNode*> Queues() const;
    std::vector<const LTF::Xml::XmlNode*> Conditions() const;
    // The `entry` elements of a section, letter case ignored.
    std::vector<const LTF::Xml::XmlNode*> Entries(const wchar_t* section,
                                                  const wchar_t* entry) const;
    // Every element a run may execute as an action: init entries, queue actions, condition
    // branches and cases, buttons.
    const std::vector<ActionSite>& ActionSites() const { return sites; }

    // The attribute as the run sees it: expanded in the pages section, as written elsewhere.
    std::wstring Value(const ActionSite& site, const wchar_t* attribute) const;
    std::wstring Expanded(const LTF::Xml::XmlNode& node, const wchar_t* attribute) const;

    static std::vector<const LTF::Xml::XmlNode*> Elements(const LTF::Xml::XmlNode* parent);
    static bool Named(const LTF::Xml::XmlNode& node, const wchar_t* name);

private:
    void CollectSites();

    LauncherContext& launcher;
    const LTF::Xml::XmlNode& root;
    std::wstring file;
    const SourceLocator& locator;
    Findings& findings;
    std::wstring onlyLanguage;
    std::vector<ActionSite> sites;
};

} // namespace Vellmar::Check
