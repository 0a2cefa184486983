#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace Vellmar::Platform {

class Environment {
public:
    // What an undefined %NAME% turns into.
    enum class Unknown {
        Empty, // the empty string, as GetEnvironmentVariableW leaves it
        Keep,  // left as written, as ExpandEnvironmentStringsW does
    };

    // Replaces the first %NAME% pair by the variable's value everywhere it occurs, then starts
    // again on the result. A value that names itself would repeat forever: expansion stops
    // after kMaxRounds replacements or once the text outgrows kMaxLength, returning the text as
    // it stands then.
    static std::wstring ExpandPercentVariables(std::wstring_view text,
                                               Unknown unknown = Unknown::Empty);

    static std::optional<std::wstring> Get(std::wstring_view name);

    static constexpr int kMaxRounds = 256;
    static constexpr std::size_t kMaxLength = 32767;
};

} // namespace Vellmar::Platform
