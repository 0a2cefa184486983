#include "tests/support/ScopedEnv.h"

#include <cstdlib>

namespace Vellmar::Testing {

ScopedEnv::ScopedEnv(const char* name, const std::optional<std::string>& value) : name(name) {
    if (const char* old = std::getenv(name))
        previous = old;
    value ? ::setenv(name, value->c_str(), 1) : ::unsetenv(name);
}

ScopedEnv::ScopedEnv(const char* name, const char* value)
    : ScopedEnv(name, value ? std::optional<std::string>(value) : std::nullopt) {}

ScopedEnv::~ScopedEnv() {
    previous ? ::setenv(name.c_str(), previous->c_str(), 1) : ::unsetenv(name.c_str());
}

} // namespace Vellmar::Testing
