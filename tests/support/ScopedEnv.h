#pragma once

#include <cstdlib>
#include <optional>
#include <string>

namespace Vellmar::Testing {

// Sets (or, given nothing, unsets) an environment variable for one scope.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const std::optional<std::string>& value) : name(name) {
        if (const char* old = std::getenv(name))
            previous = old;
        Set(name, value);
    }
    // nullptr unsets.
    ScopedEnv(const char* name, const char* value)
        : ScopedEnv(name, value ? std::optional<std::string>(value) : std::nullopt) {}
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;
    ~ScopedEnv() { Set(name.c_str(), previous); }

private:
    static void Set(const char* name, const std::optional<std::string>& value) {
        value ? ::setenv(name, value->c_str(), 1) : ::unsetenv(name);
    }
    std::string name;
    std::optional<std::string> previous;
};

} // namespace Vellmar::Testing
