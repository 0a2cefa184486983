#include "support/LogFormatter.h"

namespace Vellmar::Diagnostics {

LogFormatter::~LogFormatter() = default;

std::wstring LogFormatter::getHead() const {
    return {};
}

std::wstring LogFormatter::getTail() const {
    return {};
}

} // namespace Vellmar::Diagnostics
