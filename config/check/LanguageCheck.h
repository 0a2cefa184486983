#pragma once

#include "config/check/CheckContext.h"

namespace Vellmar::Check {

// Strings that one language of the table has and another lacks: a run shows the English text
// (or nothing) there without a word. Strings outside any language are shared and not compared.
class LanguageCheck {
public:
    explicit LanguageCheck(const CheckContext& context) : context(context) {}
    void Run() const;

private:
    const CheckContext& context;
};

} // namespace Vellmar::Check
