#include "tests/support/PrivateXServer.h"

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <X11/Xlib.h>

namespace Vellmar::Testing {

PrivateXServer::PrivateXServer() {
    if (::access("/usr/bin/Xvfb", X_OK) != 0)
        return;
    int numberPipe[2];
    if (::pipe(numberPipe) != 0)
        return;
    pid = ::fork();
    if (pid == 0) {
        ::close(numberPipe[0]);
        const std::string fd = std::to_string(numberPipe[1]);
        ::execl("/usr/bin/Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-nolisten", "tcp", "-screen",
                "0", "640x480x24", static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::close(numberPipe[1]);
    std::string number;
    pollfd wait{numberPipe[0], POLLIN, 0};
    char c = 0;
    while (::poll(&wait, 1, 10000) == 1 && ::read(numberPipe[0], &c, 1) == 1 && c != '\n')
        number += c;
    ::close(numberPipe[0]);
    if (number.empty())
        return;
    if (Display* probe = XOpenDisplay((":" + number).c_str())) {
        XCloseDisplay(probe);
        name = ":" + number;
    }
}

PrivateXServer::~PrivateXServer() {
    if (pid > 0) {
        ::kill(pid, SIGTERM);
        ::waitpid(pid, nullptr, 0);
    }
}

} // namespace Vellmar::Testing
