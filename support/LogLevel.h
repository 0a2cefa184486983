#pragma once

namespace Vellmar::Diagnostics {

// A smaller level is more severe. The program logs its own messages at kInformation.
namespace LogLevel {
constexpr int kNone = 0;
constexpr int kError = 1;
constexpr int kWarning = 2;
constexpr int kInformation = 3;
constexpr int kTrace = 7;
} // namespace LogLevel

// A threshold accepts the levels up to itself; 0 accepts nothing.
constexpr bool LevelAccepts(int threshold, int level) {
    return threshold > 0 && level <= threshold;
}

} // namespace Vellmar::Diagnostics
