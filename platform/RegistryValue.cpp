#include "platform/RegistryValue.h"

#include "support/Text.h"

#include <charconv>
#include <cstdio>

namespace Vellmar::Platform {

namespace {

void AppendUtf16(std::vector<std::uint8_t>& out, std::uint32_t unit) {
    out.push_back(static_cast<std::uint8_t>(unit & 0xFF));
    out.push_back(static_cast<std::uint8_t>(unit >> 8));
}

bool IsHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

std::string_view TrimSpaces(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    return text;
}

std::optional<std::vector<std::uint8_t>> ParseHexBytes(std::string_view text) {
    std::vector<std::uint8_t> bytes;
    text = TrimSpaces(text);
    if (text.empty())
        return bytes;
    std::size_t start = 0;
    for (;;) {
        const std::size_t comma = text.find(',', start);
        const std::string_view item = TrimSpaces(
            text.substr(start, comma == std::string_view::npos ? text.npos : comma - start));
        if (item.empty() && comma == std::string_view::npos)
            break; // a trailing comma
        if (item.size() < 1 || item.size() > 2 || !IsHexDigit(item[0]) ||
            (item.size() == 2 && !IsHexDigit(item[1])))
            return std::nullopt;
        bytes.push_back(static_cast<std::uint8_t>(std::stoul(std::string(item), nullptr, 16)));
        if (comma == std::string_view::npos)
            break;
        start = comma + 1;
    }
    return bytes;
}

std::string FormatHex(std::string prefix, const std::vector<std::uint8_t>& bytes) {
    std::string out = std::move(prefix);
    std::size_t column = out.size();
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        char item[4];
        std::snprintf(item, sizeof item, "%02x", bytes[i]);
        out += item;
        column += 2;
        if (i + 1 < bytes.size()) {
            out += ',';
            ++column;
            if (column > 76) {
                out += "\\\n  ";
                column = 2;
            }
        }
    }
    return out;
}

// A REG_SZ can be written as "text" only when that form reads back to the same bytes.
bool HasPlainStringForm(const RegistryValue& value) {
    if (value.type != REG_SZ || value.data.size() < 2 || value.data.size() % 2 != 0)
        return false;
    const std::wstring text = value.Text();
    for (wchar_t c : text)
        if (c < 0x20 || (c >= 0xD800 && c <= 0xDFFF))
            return false;
    return RegistryValue::String(text) == value;
}

} // namespace

RegistryValue RegistryValue::String(std::wstring_view text, std::uint32_t type) {
    RegistryValue value;
    value.type = type;
    for (wchar_t c : text) {
        auto code = static_cast<std::uint32_t>(c);
        if (code > 0xFFFF) {
            code -= 0x10000;
            AppendUtf16(value.data, 0xD800 | (code >> 10));
            AppendUtf16(value.data, 0xDC00 | (code & 0x3FF));
        } else {
            AppendUtf16(value.data, code);
        }
    }
    AppendUtf16(value.data, 0);
    return value;
}

RegistryValue RegistryValue::Dword(std::uint32_t number) {
    RegistryValue value;
    value.type = REG_DWORD;
    for (int shift = 0; shift < 32; shift += 8)
        value.data.push_back(static_cast<std::uint8_t>(number >> shift));
    return value;
}

std::wstring RegistryValue::Text() const {
    std::wstring text;
    for (std::size_t i = 0; i + 1 < data.size(); i += 2) {
        const std::uint32_t unit = data[i] | (data[i + 1] << 8);
        if (unit == 0)
            break;
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 3 < data.size()) {
            const std::uint32_t low = data[i + 2] | (data[i + 3] << 8);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                text += static_cast<wchar_t>(0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
                i += 2;
                continue;
            }
        }
        text += static_cast<wchar_t>(unit >= 0xD800 && unit <= 0xDFFF ? 0xFFFD : unit);
    }
    return text;
}

std::optional<std::uint32_t> RegistryValue::DwordValue() const {
    if (type != REG_DWORD || data.size() != 4)
        return std::nullopt;
    return data[0] | (data[1] << 8) | (data[2] << 16) | (static_cast<std::uint32_t>(data[3]) << 24);
}

std::string RegistryValue::Format() const {
    if (HasPlainStringForm(*this))
        return QuoteRegString(Text());
    if (const auto number = DwordValue()) {
        char text[16];
        std::snprintf(text, sizeof text, "dword:%08x", *number);
        return text;
    }
    if (type == REG_BINARY)
        return FormatHex("hex:", data);
    char prefix[16];
    std::snprintf(prefix, sizeof prefix, "hex(%x):", type);
    return FormatHex(prefix, data);
}

std::optional<RegistryValue> RegistryValue::Parse(std::string_view text) {
    text = TrimSpaces(text);
    if (text.starts_with('"')) {
        std::wstring decoded;
        const std::size_t used = UnquoteRegString(text, decoded);
        if (used == 0 || !TrimSpaces(text.substr(used)).empty())
            return std::nullopt;
        return String(decoded);
    }
    if (text.starts_with("dword:")) {
        const std::string_view digits = text.substr(6);
        std::uint32_t number = 0;
        const auto [end, error] =
            std::from_chars(digits.data(), digits.data() + digits.size(), number, 16);
        if (error != std::errc() || end != digits.data() + digits.size() || digits.size() > 8 ||
            digits.empty())
            return std::nullopt;
        return Dword(number);
    }
    RegistryValue value;
    if (text.starts_with("hex:")) {
        value.type = REG_BINARY;
        text.remove_prefix(4);
    } else if (text.starts_with("hex(")) {
        const std::size_t close = text.find("):");
        const std::string_view digits = text.substr(4, close == text.npos ? 0 : close - 4);
        const auto [end, error] =
            std::from_chars(digits.data(), digits.data() + digits.size(), value.type, 16);
        if (digits.empty() || digits.size() > 8 || error != std::errc() ||
            end != digits.data() + digits.size())
            return std::nullopt;
        text.remove_prefix(close + 2);
    } else {
        return std::nullopt;
    }
    auto bytes = ParseHexBytes(text);
    if (!bytes)
        return std::nullopt;
    value.data = std::move(*bytes);
    return value;
}

std::string QuoteRegString(std::wstring_view text) {
    std::string out = "\"";
    for (char c : WideToUtf8(text)) {
        if (c == '\\' || c == '"')
            out += '\\';
        out += c;
    }
    return out + '"';
}

std::size_t UnquoteRegString(std::string_view text, std::wstring& out) {
    if (!text.starts_with('"'))
        return 0;
    std::string raw;
    for (std::size_t i = 1; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '"') {
            out = Utf8ToWide(raw);
            return i + 1;
        }
        if (c == '\\' && i + 1 < text.size() && (text[i + 1] == '\\' || text[i + 1] == '"'))
            raw += text[++i];
        else
            raw += c;
    }
    return 0;
}

} // namespace Vellmar::Platform
