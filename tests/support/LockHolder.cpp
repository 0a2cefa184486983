#include "tests/support/LockHolder.h"

#include "platform/NamedLock.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

namespace Vellmar::Testing {

LockHolder::LockHolder(const std::wstring& name, bool writePid) {
    const std::string path = Platform::NamedLock::LockPath(name);
    int ready[2];
    if (::pipe(ready) != 0)
        return;
    pid = ::fork();
    if (pid == 0) {
        // Only async-signal-safe calls from here on: the test process may run other threads.
        const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        char answer = fd >= 0 && ::flock(fd, LOCK_EX | LOCK_NB) == 0 ? 'y' : 'n';
        char digits[16];
        char* end = digits + sizeof digits;
        char* start = end;
        *--start = '\n';
        for (pid_t self = ::getpid(); self > 0; self /= 10)
            *--start = static_cast<char>('0' + self % 10);
        if (answer == 'y' && writePid &&
            (::ftruncate(fd, 0) != 0 || ::write(fd, start, end - start) < 0))
            answer = 'n';
        (void)!::write(ready[1], &answer, 1);
        for (;;)
            ::pause();
    }
    ::close(ready[1]);
    char answer = 0;
    took = ::read(ready[0], &answer, 1) == 1 && answer == 'y';
    ::close(ready[0]);
}

void LockHolder::Kill() {
    if (pid <= 0)
        return;
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
    pid = -1;
}

} // namespace Vellmar::Testing
