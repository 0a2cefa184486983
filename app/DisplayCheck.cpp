#include "app/DisplayCheck.h"

#include "platform/X11Session.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>

namespace {

const char* Variable(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0' ? value : nullptr;
}

} // namespace

bool DisplayCheck::WaylandAnswers() {
    const char* display = Variable("WAYLAND_DISPLAY");
    if (display == nullptr)
        return false;
    std::string path = display;
    if (path.front() != '/') {
        const char* runtime = Variable("XDG_RUNTIME_DIR");
        if (runtime == nullptr)
            return false;
        path = std::string(runtime) + "/" + path;
    }
    sockaddr_un address{};
    if (path.size() >= sizeof address.sun_path)
        return false;
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    const bool answers =
        ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);
    return answers;
}

std::string DisplayCheck::MissingDisplay() {
    if (Variable("QT_QPA_PLATFORM") != nullptr || WaylandAnswers())
        return {};
    const char* x11 = Variable("DISPLAY");
    if (x11 != nullptr && Vellmar::Platform::X11Session().IsOpen())
        return {};
    const char* wayland = Variable("WAYLAND_DISPLAY");
    std::string what;
    if (x11 == nullptr && wayland == nullptr)
        what = "neither DISPLAY nor WAYLAND_DISPLAY is set";
    else if (x11 != nullptr && wayland != nullptr)
        what =
            std::string("neither DISPLAY=") + x11 + " nor WAYLAND_DISPLAY=" + wayland + " answers";
    else
        what = std::string(x11 ? "DISPLAY=" : "WAYLAND_DISPLAY=") + (x11 ? x11 : wayland) +
               " does not answer";
    return "autorun: no display: " + what +
           " (start it from a desktop session, or set QT_QPA_PLATFORM=offscreen)";
}
