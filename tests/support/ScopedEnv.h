#pragma once

#include <optional>
#include <string>

namespace Vellmar::Testing {

// Sets (or, given nothing, unsets) an environment variable for one scope.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const std::optional<std::string>& value);
    // nullptr unsets.
    ScopedEnv(const char* name, const char* value);
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;
    ~ScopedEnv();

private:
    std::string name;
    std::optional<std::string> previous;
};

} // namespace Vellmar::Testing
