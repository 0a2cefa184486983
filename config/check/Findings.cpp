#include "config/check/Findings.h"

#include "support/Text.h"

#include <algorithm>
#include <cstdio>

namespace Vellmar::Check {

namespace {

const char* SeverityName(Severity severity) {
    return severity == Severity::Error ? "error" : "warning";
}

std::string JsonString(const std::wstring& text) {
    std::string out = "\"";
    for (const char c : WideToUtf8(text)) {
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (static_cast<unsigned char>(c) < 0x20) {
                char escaped[8];
                std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
                out += escaped;
            } else {
                out += c;
            }
        }
    }
    return out + "\"";
}

} // namespace

void Findings::Add(Finding finding) {
    if (std::find(fileOrder.begin(), fileOrder.end(), finding.file) == fileOrder.end())
        fileOrder.push_back(finding.file);
    findings.push_back(std::move(finding));
}

std::size_t Findings::Errors() const {
    return std::count_if(findings.begin(), findings.end(),
                         [](const Finding& f) { return f.severity == Severity::Error; });
}

std::size_t Findings::Warnings() const {
    return findings.size() - Errors();
}

std::vector<Finding> Findings::InOrder() const {
    auto rank = [this](const Finding& f) {
        return std::find(fileOrder.begin(), fileOrder.end(), f.file) - fileOrder.begin();
    };
    std::vector<Finding> sorted = findings;
    std::stable_sort(sorted.begin(), sorted.end(), [&](const Finding& a, const Finding& b) {
        if (rank(a) != rank(b))
            return rank(a) < rank(b);
        if (a.line != b.line)
            return a.line < b.line;
        return a.column < b.column;
    });
    return sorted;
}

int Findings::ExitCode() const {
    if (Errors() > 0)
        return 2;
    return findings.empty() ? 0 : 1;
}

std::string Findings::AsText() const {
    std::string out;
    for (const Finding& f : InOrder()) {
        // A place the file does not have is left out, as compilers do. Appended piece by piece:
        // GCC 12 at -O3 misreads ":" + string as overlapping copies.
        out += WideToUtf8(f.file);
        if (f.line > 0)
            out.append(":").append(std::to_string(f.line));
        if (f.line > 0 && f.column > 0)
            out.append(":").append(std::to_string(f.column));
        out.append(": ").append(SeverityName(f.severity)).append(": ");
        out.append(WideToUtf8(f.text)).append(" [").append(WideToUtf8(f.code)).append("]\n");
    }
    return out + std::to_string(Errors()) + " errors, " + std::to_string(Warnings()) +
           " warnings\n";
}

std::string Findings::AsJson() const {
    std::string out = "[";
    bool first = true;
    for (const Finding& f : InOrder()) {
        out += first ? "\n" : ",\n";
        first = false;
        out += "  {\"file\": " + JsonString(f.file) + ", \"line\": " + std::to_string(f.line) +
               ", \"column\": " + std::to_string(f.column) + ", \"severity\": \"" +
               SeverityName(f.severity) + "\", \"code\": " + JsonString(f.code) +
               ", \"text\": " + JsonString(f.text) + "}";
    }
    return out + (first ? "]\n" : "\n]\n");
}

} // namespace Vellmar::Check
