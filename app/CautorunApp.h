#pragma once

#include <string>

// The program's entry: builds the launcher context, runs the main dialog, and turns start-up
// failures into a message box and a non-zero exit code.
class CautorunApp {
public:
    int Run(int argc, char** argv);

private:
    int RunLauncher(const std::wstring& commandLine);
};
