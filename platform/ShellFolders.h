#pragma once

#include <string>
#include <utility>
#include <vector>

namespace Vellmar::Platform {

// The Windows numbers of the shell folders.
enum Csidl : int {
    CSIDL_DESKTOP = 0,
    CSIDL_INTERNET = 1,
    CSIDL_PROGRAMS = 2,
    CSIDL_CONTROLS = 3,
    CSIDL_PRINTERS = 4,
    CSIDL_MYDOCUMENTS = 5,
    CSIDL_PERSONAL = 5,
    CSIDL_FAVORITES = 6,
    CSIDL_STARTUP = 7,
    CSIDL_RECENT = 8,
    CSIDL_SENDTO = 9,
    CSIDL_BITBUCKET = 10,
    CSIDL_STARTMENU = 11,
    CSIDL_MYMUSIC = 13,
    CSIDL_MYVIDEO = 14,
    CSIDL_DESKTOPDIRECTORY = 16,
    CSIDL_DRIVES = 17,
    CSIDL_NETWORK = 18,
    CSIDL_NETHOOD = 19,
    CSIDL_FONTS = 20,
    CSIDL_TEMPLATES = 21,
    CSIDL_COMMON_STARTMENU = 22,
    CSIDL_COMMON_PROGRAMS = 23,
    CSIDL_COMMON_STARTUP = 24,
    CSIDL_COMMON_DESKTOPDIRECTORY = 25,
    CSIDL_APPDATA = 26,
    CSIDL_PRINTHOOD = 27,
    CSIDL_LOCAL_APPDATA = 28,
    CSIDL_ALTSTARTUP = 29,
    CSIDL_COMMON_ALTSTARTUP = 30,
    CSIDL_COMMON_FAVORITES = 31,
    CSIDL_INTERNET_CACHE = 32,
    CSIDL_COOKIES = 33,
    CSIDL_HISTORY = 34,
    CSIDL_COMMON_APPDATA = 35,
    CSIDL_WINDOWS = 36,
    CSIDL_SYSTEM = 37,
    CSIDL_PROGRAM_FILES = 38,
    CSIDL_MYPICTURES = 39,
    CSIDL_PROFILE = 40,
    CSIDL_PROGRAM_FILES_COMMON = 43,
    CSIDL_COMMON_TEMPLATES = 45,
    CSIDL_COMMON_DOCUMENTS = 46,
    CSIDL_COMMON_ADMINTOOLS = 47,
    CSIDL_ADMINTOOLS = 48,
    CSIDL_COMMON_MUSIC = 53,
    CSIDL_COMMON_PICTURES = 54,
    CSIDL_COMMON_VIDEO = 55,
    CSIDL_CDBURN_AREA = 59,
};

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
