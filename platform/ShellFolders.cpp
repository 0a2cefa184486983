#include "platform/ShellFolders.h"

#include "support/Text.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <map>

namespace Vellmar::Platform {
namespace {

std::string StripTrailingSlashes(std::string path) {
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

std::string HomeFolder() {
    if (const char* home = std::getenv("HOME"); home && home[0] == '/')
        return StripTrailingSlashes(home);
    std::vector<char> buffer(16384);
    passwd entry{};
    passwd* found = nullptr;
    if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found &&
        found->pw_dir && found->pw_dir[0] == '/')
        return StripTrailingSlashes(found->pw_dir);
    return {};
}

// An XDG base directory: the variable when it holds an absolute path, else $HOME/fallback.
std::string BaseFolder(const char* variable, const std::string& home, const char* fallback) {
    if (const char* value = std::getenv(variable); value && value[0] == '/')
        return StripTrailingSlashes(value);
    return home.empty() ? std::string() : home + "/" + fallback;
}

// A user-dirs.dirs value: "$HOME/..." or "/...", in double quotes with backslash escapes.
std::string UserDirValue(std::string_view raw, const std::string& home) {
    if (raw.size() < 2 || raw.front() != '"' || raw.back() != '"')
        return {};
    std::string value;
    for (std::size_t i = 1; i + 1 < raw.size(); ++i) {
        if (raw[i] == '\\' && i + 2 < raw.size())
            ++i;
        value += raw[i];
    }
    if (value == "$HOME" || value.starts_with("$HOME/"))
        return home.empty() ? std::string() : StripTrailingSlashes(home + value.substr(5));
    return value.starts_with('/') ? StripTrailingSlashes(value) : std::string();
}

std::map<std::string, std::string> ReadUserDirs(const std::string& configHome,
                                                const std::string& home) {
    std::map<std::string, std::string> dirs;
    if (configHome.empty())
        return dirs;
    std::ifstream in(configHome + "/user-dirs.dirs");
    std::string line;
    while (std::getline(in, line)) {
        const std::size_t start = line.find_first_not_of(" \t");
        const std::size_t equals = line.find('=');
        if (start == std::string::npos || line[start] == '#' || equals == std::string::npos)
            continue;
        const std::size_t end = line.find_last_not_of(" \t\r");
        std::string value =
            UserDirValue(std::string_view(line).substr(equals + 1, end - equals), home);
        if (!value.empty())
            dirs[line.substr(start, equals - start)] = std::move(value);
    }
    return dirs;
}

class Folders {
public:
    Folders()
        : home(HomeFolder()), config(BaseFolder("XDG_CONFIG_HOME", home, ".config")),
          data(BaseFolder("XDG_DATA_HOME", home, ".local/share")),
          cache(BaseFolder("XDG_CACHE_HOME", home, ".cache")),
          state(BaseFolder("XDG_STATE_HOME", home, ".local/state")),
          userDirs(ReadUserDirs(config, home)) {}

    std::string Path(int csidl) const {
        switch (csidl) {
        case 0:
        case 16:
        case 25:
            return UserDir("XDG_DESKTOP_DIR", "Desktop");
        case 5:
        case 46:
            return UserDir("XDG_DOCUMENTS_DIR", "Documents");
        case 13:
        case 53:
            return UserDir("XDG_MUSIC_DIR", nullptr);
        case 39:
        case 54:
            return UserDir("XDG_PICTURES_DIR", nullptr);
        case 14:
        case 55:
            return UserDir("XDG_VIDEOS_DIR", nullptr);
        case 21:
            return UserDir("XDG_TEMPLATES_DIR", nullptr);
        case 45:
            return "/usr/share/templates";
        case 26:
            return config;
        case 28:
            return data;
        case 35:
            return "/usr/share";
        case 32:
            return cache;
        case 33:
        case 34:
            return state;
        case 2:
        case 11:
            return Under(data, "applications");
        case 22:
        case 23:
            return "/usr/share/applications";
        case 7:
        case 29:
            return Under(config, "autostart");
        case 24:
        case 30:
            return "/etc/xdg/autostart";
        case 20:
            return Under(data, "fonts");
        case 40:
            return home;
        case 38:
        case 43:
            return "/opt";
        case 10:
            return Under(data, "Trash");
        default:
            return {};
        }
    }

private:
    static std::string Under(const std::string& base, const char* name) {
        return base.empty() ? std::string() : base + "/" + name;
    }

    std::string UserDir(const std::string& key, const char* homeDefault) const {
        if (const auto found = userDirs.find(key); found != userDirs.end())
            return found->second;
        return homeDefault ? Under(home, homeDefault) : std::string();
    }

    std::string home;
    std::string config;
    std::string data;
    std::string cache;
    std::string state;
    std::map<std::string, std::string> userDirs;
};

} // namespace

const std::vector<ShellFolders::Name>& ShellFolders::Names() {
    static const std::vector<Name> names{
        {L"CSIDL_ADMINTOOLS", 48},
        {L"CSIDL_ALTSTARTUP", 29},
        {L"CSIDL_APPDATA", 26},
        {L"CSIDL_BITBUCKET", 10},
        {L"CSIDL_CDBURN_AREA", 59},
        {L"CSIDL_COMMON_ADMINTOOLS", 47},
        {L"CSIDL_COMMON_ALTSTARTUP", 30},
        {L"CSIDL_COMMON_APPDATA", 35},
        {L"CSIDL_COMMON_DESKTOPDIRECTORY", 25},
        {L"CSIDL_COMMON_DOCUMENTS", 46},
        {L"CSIDL_COMMON_FAVORITES", 31},
        {L"CSIDL_COMMON_MUSIC", 53},
        {L"CSIDL_COMMON_PICTURES", 54},
        {L"CSIDL_COMMON_PROGRAMS", 23},
        {L"CSIDL_COMMON_STARTMENU", 22},
        {L"CSIDL_COMMON_STARTUP", 24},
        {L"CSIDL_COMMON_TEMPLATES", 45},
        {L"CSIDL_COMMON_VIDEO", 55},
        {L"CSIDL_CONTROLS", 3},
        {L"CSIDL_COOKIES", 33},
        {L"CSIDL_DESKTOP", 0},
        {L"CSIDL_DESKTOPDIRECTORY", 16},
        {L"CSIDL_DRIVES", 17},
        {L"CSIDL_FAVORITES", 6},
        {L"CSIDL_FONTS", 20},
        {L"CSIDL_HISTORY", 34},
        {L"CSIDL_INTERNET", 1},
        {L"CSIDL_INTERNET_CACHE", 32},
        {L"CSIDL_LOCAL_APPDATA", 28},
        {L"CSIDL_MYDOCUMENTS", 5},
        {L"CSIDL_MYMUSIC", 13},
        {L"CSIDL_MYPICTURES", 39},
        {L"CSIDL_MYVIDEO", 14},
        {L"CSIDL_NETHOOD", 19},
        {L"CSIDL_NETWORK", 18},
        {L"CSIDL_PERSONAL", 5},
        {L"CSIDL_PRINTERS", 4},
        {L"CSIDL_PRINTHOOD", 27},
        {L"CSIDL_PROFILE", 40},
        {L"CSIDL_PROGRAM_FILES", 38},
        {L"CSIDL_PROGRAM_FILES_COMMON", 43},
        {L"CSIDL_PROGRAMS", 2},
        {L"CSIDL_RECENT", 8},
        {L"CSIDL_SENDTO", 9},
        {L"CSIDL_STARTMENU", 11},
        {L"CSIDL_STARTUP", 7},
        {L"CSIDL_SYSTEM", 37},
        {L"CSIDL_TEMPLATES", 21},
        {L"CSIDL_WINDOWS", 36},
    };
    return names;
}

std::wstring ShellFolders::Path(int csidl) {
    return Utf8ToWide(Folders().Path(csidl));
}

std::vector<std::pair<std::wstring, std::wstring>> ShellFolders::All() {
    const Folders folders;
    std::vector<std::pair<std::wstring, std::wstring>> all;
    for (const Name& name : Names())
        all.emplace_back(name.name, Utf8ToWide(folders.Path(name.csidl)));
    return all;
}

} // namespace Vellmar::Platform
