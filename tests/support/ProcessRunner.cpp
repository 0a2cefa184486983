#include "tests/support/ProcessRunner.h"

#include "tests/support/TempDir.h"
#include "tests/support/Wait.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <sstream>

namespace TestSupport {

namespace {

std::string TempName() {
    char pattern[] = "/tmp/vellmar-proc-XXXXXX";
    const int fd = ::mkstemp(pattern);
    ::close(fd);
    return pattern;
}

[[noreturn]] void ExecChild(const std::string& program, const std::vector<std::string>& arguments,
                            const std::map<std::string, std::string>& environment,
                            const std::string& workingDirectory, const std::string& outPath,
                            const std::string& errPath) {
    ::setpgid(0, 0);
    ::dup2(::open("/dev/null", O_RDONLY), 0);
    ::dup2(::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), 1);
    ::dup2(::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), 2);
    for (const auto& [name, value] : environment)
        value.empty() ? ::unsetenv(name.c_str()) : ::setenv(name.c_str(), value.c_str(), 1);
    if (!workingDirectory.empty() && ::chdir(workingDirectory.c_str()) != 0)
        ::_exit(126);
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    ::execv(program.c_str(), argv.data());
    ::_exit(127);
}

} // namespace

ProcessResult RunProcess(const std::string& program, const std::vector<std::string>& arguments,
                         const std::map<std::string, std::string>& environment,
                         const std::string& workingDirectory, std::chrono::milliseconds limit) {
    const std::string outPath = TempName();
    const std::string errPath = TempName();
    ProcessResult result;
    const pid_t child = ::fork();
    if (child == 0)
        ExecChild(program, arguments, environment, workingDirectory, outPath, errPath);
    int status = 0;
    result.timedOut = !Vellmar::Testing::WaitUntil(
        [&] { return ::waitpid(child, &status, WNOHANG) != 0; }, limit);
    if (result.timedOut) {
        ::kill(-child, SIGKILL);
        ::waitpid(child, &status, 0);
    }
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.out = Vellmar::Testing::ReadFile(outPath);
    result.err = Vellmar::Testing::ReadFile(errPath);
    ::unlink(outPath.c_str());
    ::unlink(errPath.c_str());
    return result;
}

std::vector<std::string> LinesStartingWith(const std::string& text, const std::string& prefix) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        if (line.rfind(prefix, 0) == 0)
            lines.push_back(line);
    return lines;
}

} // namespace TestSupport
