#pragma once

#include <sys/types.h>

#include <string>

namespace Vellmar::Testing {

// A private Xvfb for one test, on a display number the server picks itself. `name` stays empty
// when Xvfb is not installed or does not start; the test should then skip.
class PrivateXServer {
public:
    PrivateXServer();
    ~PrivateXServer();
    PrivateXServer(const PrivateXServer&) = delete;
    PrivateXServer& operator=(const PrivateXServer&) = delete;

    std::string name; // ":<number>"

private:
    pid_t pid = -1;
};

} // namespace Vellmar::Testing
