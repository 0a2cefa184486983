#pragma once

#include <string>
#include <utility>
#include <vector>

namespace Vellmar::Platform {

// The Linux folders that stand in for the Windows shell folders (CSIDL_ numbers), taken from
// the XDG base directories and $XDG_CONFIG_HOME/user-dirs.dirs. Folders without a Linux
// counterpart, or that are not configured, are "". Paths have no trailing '/'.
class ShellFolders {
public:
    struct Name {
        const wchar_t* name; // "CSIDL_APPDATA"
        int csidl;
    };

    // The 49 names in the order they are published as variables.
    static const std::vector<Name>& Names();

    static std::wstring Path(int csidl);

    // Every name with its path, in the order of Names(); the environment is read once.
    static std::vector<std::pair<std::wstring, std::wstring>> All();
};

} // namespace Vellmar::Platform
