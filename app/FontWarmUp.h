#pragma once

#include <thread>

// Loads the system font configuration on a second core while the launcher reads its own
// configuration; the first text a button draws would otherwise wait for it. Lives only in the
// program's own run: the thread reads the environment, which nothing in the launcher changes.
class FontWarmUp {
public:
    FontWarmUp();
    ~FontWarmUp();
    FontWarmUp(const FontWarmUp&) = delete;
    FontWarmUp& operator=(const FontWarmUp&) = delete;

private:
    std::thread worker;
};
