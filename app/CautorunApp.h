#pragma once

#include <string>

// The program's entry: builds the launcher context, runs the main dialog, and turns start-up
// failures into a message box and a non-zero exit code.
class CautorunApp {
public:
    int Run(int argc, char** argv);

    // The running executable, as /proc/self/exe names it.
    static std::wstring ExecutablePath();

private:
    int RunLauncher(const std::wstring& commandLine);
};
