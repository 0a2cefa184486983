// Test double for started programs (and, under other names, for xdg-open, wine and pkexec):
// writes how it was started to $ARGV_RECORDER_OUT as '\0'-terminated records
// "cwd=...", "session=leader|inherited", "fds=0,1,2", then one "arg=..." per argv entry.
#include <dirent.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>

namespace {

std::string OpenFds() {
    std::set<int> fds;
    if (DIR* dir = ::opendir("/proc/self/fd")) {
        while (const dirent* entry = ::readdir(dir))
            if (entry->d_name[0] != '.' && std::atoi(entry->d_name) != ::dirfd(dir))
                fds.insert(std::atoi(entry->d_name));
        ::closedir(dir);
    }
    std::string text;
    for (int fd : fds) {
        if (!text.empty())
            text += ',';
        text += std::to_string(fd);
    }
    return text;
}

} // namespace

int main(int argc, char** argv) {
    const char* out = std::getenv("ARGV_RECORDER_OUT");
    if (out == nullptr)
        return 2;
    std::string record;
    const auto add = [&record](const std::string& item) {
        record += item;
        record += '\0';
    };
    char cwd[4096] = {};
    add(std::string("cwd=") + (::getcwd(cwd, sizeof cwd) ? cwd : "?"));
    add(std::string("session=") + (::getsid(0) == ::getpid() ? "leader" : "inherited"));
    add("fds=" + OpenFds());
    for (int i = 0; i < argc; ++i)
        add(std::string("arg=") + argv[i]);

    // Written beside and renamed, so a waiting test never reads half a record.
    const std::string temporary = std::string(out) + ".part";
    FILE* file = std::fopen(temporary.c_str(), "wb");
    if (file == nullptr)
        return 3;
    std::fwrite(record.data(), 1, record.size(), file);
    std::fclose(file);
    return std::rename(temporary.c_str(), out) == 0 ? 0 : 4;
}
