#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace Vellmar::Check {

enum class Severity { Warning, Error };

// One problem of a configuration, where an author's editor can jump to it. `code` is stable
// across releases, so that scripts may filter on it.
struct Finding {
    std::wstring file;
    int line = 0;   // 1-based; 0 when the problem has no place in the file
    int column = 0; // 1-based, in characters
    Severity severity = Severity::Error;
    std::wstring code;
    std::wstring text;
};

// The findings of one check, printed in document order.
class Findings {
public:
    void Add(Finding finding);
    std::size_t Errors() const;
    std::size_t Warnings() const;
    // Sorted by file (in the order files were first reported), line, column.
    std::vector<Finding> InOrder() const;
    // 0 clean, 1 warnings only, 2 errors.
    int ExitCode() const;

    // `file:line:column: error|warning: text [code]` lines, then `N errors, M warnings`.
    std::string AsText() const;
    // One JSON array of objects with file, line, column, severity, code and text.
    std::string AsJson() const;

private:
    std::vector<Finding> findings;
    std::vector<std::wstring> fileOrder;
};

} // namespace Vellmar::Check
