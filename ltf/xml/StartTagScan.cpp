#include "ltf/xml/StartTagScan.h"

namespace LTF::Xml::Implementation {

namespace {

bool IsSpace(char32_t c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

class Scanner {
public:
    explicit Scanner(std::string_view bytes) : bytes(bytes) {
        const auto starts = [&](std::string_view prefix) { return bytes.starts_with(prefix); };
        using namespace std::string_view_literals;
        if (starts("\xFF\xFE\0\0"sv) || starts("<\0\0\0"sv))
            width = 4;
        else if (starts("\0\0\xFE\xFF"sv) || starts("\0\0\0<"sv))
            width = 4, bigEndian = true;
        else if (starts("\xFF\xFE"sv) || starts("<\0"sv))
            width = 2;
        else if (starts("\xFE\xFF"sv) || starts("\0<"sv))
            width = 2, bigEndian = true;
        units = bytes.size() / width;
    }

    StartTagScan::Refusal Run() {
        while (pos < units) {
            if (Peek() != '<')
                Advance();
            else if (Starts("<!--"))
                SkipPast("-->");
            else if (Starts("<![CDATA["))
                SkipPast("]]>");
            else if (Starts("<!DOCTYPE"))
                SkipDoctype();
            else if (Starts("<?"))
                SkipPast("?>");
            else if (Starts("</") || Starts("<!"))
                SkipPast(">");
            else if (ScanStartTag())
                return refusal;
        }
        return {};
    }

private:
    char32_t Peek(std::size_t ahead = 0) const {
        const std::size_t at = pos + ahead;
        if (at >= units)
            return 0;
        char32_t value = 0;
        for (std::size_t i = 0; i < width; ++i) {
            const std::size_t byte = bigEndian ? i : width - 1 - i;
            value = (value << 8) | static_cast<unsigned char>(bytes[at * width + byte]);
        }
        return value;
    }

    void Advance() {
        if (Peek() == '\n') {
            ++line;
            lineStart = pos + 1;
        }
        ++pos;
    }

    bool Starts(std::string_view ascii) const {
        for (std::size_t i = 0; i < ascii.size(); ++i)
            if (Peek(i) != static_cast<unsigned char>(ascii[i]))
                return false;
        return true;
    }

    void SkipPast(std::string_view end) {
        while (pos < units && !Starts(end))
            Advance();
        for (std::size_t i = 0; i < end.size() && pos < units; ++i)
            Advance();
    }

    // An attribute value cannot hold '<': a value left open ends there, as the parser's would.
    void SkipQuoted(bool endsAtTag) {
        const char32_t quote = Peek();
        Advance();
        while (pos < units && Peek() != quote && !(endsAtTag && Peek() == '<'))
            Advance();
        if (Peek() == quote)
            Advance();
    }

    // The internal subset may hold quoted '>' and '[', comments and processing instructions.
    void SkipDoctype() {
        int depth = 0;
        while (pos < units) {
            const char32_t c = Peek();
            if (c == '"' || c == '\'') {
                SkipQuoted(false);
            } else if (Starts("<!--")) {
                SkipPast("-->");
            } else if (Starts("<?")) {
                SkipPast("?>");
            } else {
                Advance();
                if (c == '[')
                    ++depth;
                else if (c == ']')
                    --depth;
                else if (c == '>' && depth <= 0)
                    return;
            }
        }
    }

    void SkipWhile(bool (*test)(char32_t)) {
        while (pos < units && test(Peek()))
            Advance();
    }

    // True when the tag is refused. A malformed tag is left to the parser to report.
    bool ScanStartTag() {
        Advance();
        SkipWhile([](char32_t c) { return !IsSpace(c) && c != '>' && c != '/' && c != '<'; });
        std::size_t attributes = 0;
        std::size_t namespaces = 0;
        for (;;) {
            SkipWhile(IsSpace);
            const char32_t c = Peek();
            if (c == '/') {
                Advance();
                continue;
            }
            if (c == '>')
                Advance();
            if (c == 0 || c == '>' || c == '<')
                return false;
            const int nameLine = line;
            const int nameColumn = static_cast<int>(pos - lineStart) + 1;
            const bool declaration =
                Starts("xmlns") && (Peek(5) == ':' || Peek(5) == '=' || IsSpace(Peek(5)));
            SkipWhile([](char32_t c) {
                return !IsSpace(c) && c != '=' && c != '>' && c != '/' && c != '<';
            });
            SkipWhile(IsSpace);
            if (Peek() != '=')
                return false;
            Advance();
            SkipWhile(IsSpace);
            if (Peek() != '"' && Peek() != '\'')
                return false;
            SkipQuoted(true);
            if (declaration ? ++namespaces > StartTagScan::kMaxNamespaces
                            : ++attributes > StartTagScan::kMaxAttributes) {
                refusal.line = nameLine;
                refusal.column = nameColumn;
                refusal.reason = declaration ? L"An element has more than " +
                                                   std::to_wstring(StartTagScan::kMaxNamespaces) +
                                                   L" namespace declarations."
                                             : L"An element has more than " +
                                                   std::to_wstring(StartTagScan::kMaxAttributes) +
                                                   L" attributes.";
                return true;
            }
        }
    }

    std::string_view bytes;
    std::size_t width = 1;
    bool bigEndian = false;
    std::size_t units = 0;
    std::size_t pos = 0;
    std::size_t lineStart = 0;
    int line = 1;
    StartTagScan::Refusal refusal;
};

} // namespace

StartTagScan::Refusal StartTagScan::Run(std::string_view bytes) {
    return Scanner(bytes).Run();
}

} // namespace LTF::Xml::Implementation
