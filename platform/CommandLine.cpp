#include "platform/CommandLine.h"

namespace Vellmar::Platform {
namespace {

bool IsSeparator(wchar_t c) {
    return c == L' ' || c == L'\t';
}

class Splitter {
public:
    explicit Splitter(std::wstring_view text) : text(text) {}

    std::vector<std::wstring> Run() {
        while (pos < text.size()) {
            const wchar_t c = text[pos];
            if (IsSeparator(c) && !quoted) {
                EndArgument();
                ++pos;
            } else if (c == L'\\') {
                Backslashes();
            } else if (c == L'"') {
                Quotes();
            } else {
                Append(c);
                ++pos;
            }
        }
        EndArgument();
        return std::move(argv);
    }

private:
    void Append(wchar_t c) {
        current += c;
        started = true;
    }

    void EndArgument() {
        if (started)
            argv.push_back(std::move(current));
        current.clear();
        started = false;
    }

    void Backslashes() {
        std::size_t count = 0;
        while (pos < text.size() && text[pos] == L'\\') {
            ++count;
            ++pos;
        }
        const bool beforeQuote = pos < text.size() && text[pos] == L'"';
        current.append(beforeQuote ? count / 2 : count, L'\\');
        started = true;
        if (beforeQuote && count % 2 == 1) {
            Append(L'"');
            ++pos;
        }
    }

    // A run of quotes counts through three states: outside, inside, inside-after-a-quote.
    // A quote in the third state is a literal quote and returns to outside.
    void Quotes() {
        started = true;
        int state = quoted ? 1 : 0;
        for (; pos < text.size() && text[pos] == L'"'; ++pos) {
            if (state == 2) {
                current += L'"';
                state = 0;
            } else {
                ++state;
            }
        }
        quoted = state == 1;
    }

    std::wstring_view text;
    std::size_t pos = 0;
    bool quoted = false;
    bool started = false;
    std::wstring current;
    std::vector<std::wstring> argv;
};

std::wstring Quote(const std::wstring& argument) {
    if (!argument.empty() && argument.find_first_of(L" \t\"") == std::wstring::npos)
        return argument;
    std::wstring out = L"\"";
    std::size_t backslashes = 0;
    for (wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        // Backslashes before a quote are doubled, and one more escapes the quote itself.
        out.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        backslashes = 0;
        out += c;
    }
    out.append(backslashes * 2, L'\\');
    out += L'"';
    return out;
}

} // namespace

std::vector<std::wstring> SplitCommandLine(std::wstring_view arguments) {
    return Splitter(arguments).Run();
}

std::wstring JoinCommandLine(const std::vector<std::wstring>& argv) {
    std::wstring text;
    for (const std::wstring& argument : argv) {
        if (!text.empty())
            text += L' ';
        text += Quote(argument);
    }
    return text;
}

} // namespace Vellmar::Platform
