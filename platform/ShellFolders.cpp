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
        case CSIDL_DESKTOP:
        case CSIDL_DESKTOPDIRECTORY:
        case CSIDL_COMMON_DESKTOPDIRECTORY:
            return UserDir("XDG_DESKTOP_DIR", "Desktop");
        case CSIDL_MYDOCUMENTS:
        case CSIDL_COMMON_DOCUMENTS:
            return UserDir("XDG_DOCUMENTS_DIR", "Documents");
        case CSIDL_MYMUSIC:
        case CSIDL_COMMON_MUSIC:
            return UserDir("XDG_MUSIC_DIR", nullptr);
        case CSIDL_MYPICTURES:
        case CSIDL_COMMON_PICTURES:
            return UserDir("XDG_PICTURES_DIR", nullptr);
        case CSIDL_MYVIDEO:
        case CSIDL_COMMON_VIDEO:
            return UserDir("XDG_VIDEOS_DIR", nullptr);
        case CSIDL_TEMPLATES:
            return UserDir("XDG_TEMPLATES_DIR", nullptr);
        case CSIDL_COMMON_TEMPLATES:
            return "/usr/share/templates";
        case CSIDL_APPDATA:
            return config;
        case CSIDL_LOCAL_APPDATA:
            return data;
        case CSIDL_COMMON_APPDATA:
            return "/usr/share";
        case CSIDL_INTERNET_CACHE:
            return cache;
        case CSIDL_COOKIES:
        case CSIDL_HISTORY:
            return state;
        case CSIDL_PROGRAMS:
        case CSIDL_STARTMENU:
            return Under(data, "applications");
        case CSIDL_COMMON_STARTMENU:
        case CSIDL_COMMON_PROGRAMS:
            return "/usr/share/applications";
        case CSIDL_STARTUP:
        case CSIDL_ALTSTARTUP:
            return Under(config, "autostart");
        case CSIDL_COMMON_STARTUP:
        case CSIDL_COMMON_ALTSTARTUP:
            return "/etc/xdg/autostart";
        case CSIDL_FONTS:
            return Under(data, "fonts");
        case CSIDL_PROFILE:
            return home;
        case CSIDL_PROGRAM_FILES:
        case CSIDL_PROGRAM_FILES_COMMON:
            return "/opt";
        case CSIDL_BITBUCKET:
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
        {L"CSIDL_ADMINTOOLS", CSIDL_ADMINTOOLS},
        {L"CSIDL_ALTSTARTUP", CSIDL_ALTSTARTUP},
        {L"CSIDL_APPDATA", CSIDL_APPDATA},
        {L"CSIDL_BITBUCKET", CSIDL_BITBUCKET},
        {L"CSIDL_CDBURN_AREA", CSIDL_CDBURN_AREA},
        {L"CSIDL_COMMON_ADMINTOOLS", CSIDL_COMMON_ADMINTOOLS},
        {L"CSIDL_COMMON_ALTSTARTUP", CSIDL_COMMON_ALTSTARTUP},
        {L"CSIDL_COMMON_APPDATA", CSIDL_COMMON_APPDATA},
        {L"CSIDL_COMMON_DESKTOPDIRECTORY", CSIDL_COMMON_DESKTOPDIRECTORY},
        {L"CSIDL_COMMON_DOCUMENTS", CSIDL_COMMON_DOCUMENTS},
        {L"CSIDL_COMMON_FAVORITES", CSIDL_COMMON_FAVORITES},
        {L"CSIDL_COMMON_MUSIC", CSIDL_COMMON_MUSIC},
        {L"CSIDL_COMMON_PICTURES", CSIDL_COMMON_PICTURES},
        {L"CSIDL_COMMON_PROGRAMS", CSIDL_COMMON_PROGRAMS},
        {L"CSIDL_COMMON_STARTMENU", CSIDL_COMMON_STARTMENU},
        {L"CSIDL_COMMON_STARTUP", CSIDL_COMMON_STARTUP},
        {L"CSIDL_COMMON_TEMPLATES", CSIDL_COMMON_TEMPLATES},
        {L"CSIDL_COMMON_VIDEO", CSIDL_COMMON_VIDEO},
        {L"CSIDL_CONTROLS", CSIDL_CONTROLS},
        {L"CSIDL_COOKIES", CSIDL_COOKIES},
        {L"CSIDL_DESKTOP", CSIDL_DESKTOP},
        {L"CSIDL_DESKTOPDIRECTORY", CSIDL_DESKTOPDIRECTORY},
        {L"CSIDL_DRIVES", CSIDL_DRIVES},
        {L"CSIDL_FAVORITES", CSIDL_FAVORITES},
        {L"CSIDL_FONTS", CSIDL_FONTS},
        {L"CSIDL_HISTORY", CSIDL_HISTORY},
        {L"CSIDL_INTERNET", CSIDL_INTERNET},
        {L"CSIDL_INTERNET_CACHE", CSIDL_INTERNET_CACHE},
        {L"CSIDL_LOCAL_APPDATA", CSIDL_LOCAL_APPDATA},
        {L"CSIDL_MYDOCUMENTS", CSIDL_MYDOCUMENTS},
        {L"CSIDL_MYMUSIC", CSIDL_MYMUSIC},
        {L"CSIDL_MYPICTURES", CSIDL_MYPICTURES},
        {L"CSIDL_MYVIDEO", CSIDL_MYVIDEO},
        {L"CSIDL_NETHOOD", CSIDL_NETHOOD},
        {L"CSIDL_NETWORK", CSIDL_NETWORK},
        {L"CSIDL_PERSONAL", CSIDL_PERSONAL},
        {L"CSIDL_PRINTERS", CSIDL_PRINTERS},
        {L"CSIDL_PRINTHOOD", CSIDL_PRINTHOOD},
        {L"CSIDL_PROFILE", CSIDL_PROFILE},
        {L"CSIDL_PROGRAM_FILES", CSIDL_PROGRAM_FILES},
        {L"CSIDL_PROGRAM_FILES_COMMON", CSIDL_PROGRAM_FILES_COMMON},
        {L"CSIDL_PROGRAMS", CSIDL_PROGRAMS},
        {L"CSIDL_RECENT", CSIDL_RECENT},
        {L"CSIDL_SENDTO", CSIDL_SENDTO},
        {L"CSIDL_STARTMENU", CSIDL_STARTMENU},
        {L"CSIDL_STARTUP", CSIDL_STARTUP},
        {L"CSIDL_SYSTEM", CSIDL_SYSTEM},
        {L"CSIDL_TEMPLATES", CSIDL_TEMPLATES},
        {L"CSIDL_WINDOWS", CSIDL_WINDOWS},
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
