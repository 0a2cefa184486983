#include "support/Conversions.h"

#include "support/LtfException.h"
#include "support/Text.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <climits>
#include <cwchar>
#include <locale.h>
#include <optional>
#include <string_view>

namespace LTF {
namespace {

// Blanks as the "C" locale's isspace knows them; the process locale must not matter.
bool IsBlank(wchar_t c) {
    return c == L' ' || (c >= L'\t' && c <= L'\r');
}

unsigned DigitValue(wchar_t c) {
    if (c >= L'0' && c <= L'9')
        return static_cast<unsigned>(c - L'0');
    if (c >= L'a' && c <= L'f')
        return static_cast<unsigned>(c - L'a' + 10);
    if (c >= L'A' && c <= L'F')
        return static_cast<unsigned>(c - L'A' + 10);
    return 99;
}

struct ScannedInteger {
    bool negative;
    std::uint64_t magnitude; // capped well above 32 bits, so callers can tell overflow
};

constexpr std::uint64_t kMagnitudeCap = std::uint64_t{1} << 40;

// One integer as scanf reads it: blanks, sign, then digits of the base (with autoBase: 0x hex,
// a leading 0 octal, else decimal). On success `pos` moves behind the last digit read.
std::optional<ScannedInteger> ScanInteger(std::wstring_view text, std::size_t& pos, bool autoBase) {
    std::size_t i = pos;
    while (i < text.size() && IsBlank(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) {
        negative = text[i] == L'-';
        ++i;
    }
    unsigned base = 10;
    if (autoBase && i < text.size() && text[i] == L'0') {
        base = 8;
        // "0x" without a hex digit behind it is the number 0 followed by an 'x'.
        if (i + 2 < text.size() && (text[i + 1] == L'x' || text[i + 1] == L'X') &&
            DigitValue(text[i + 2]) < 16) {
            base = 16;
            i += 2;
        }
    }
    const std::size_t firstDigit = i;
    std::uint64_t magnitude = 0;
    for (; i < text.size() && DigitValue(text[i]) < base; ++i)
        magnitude = std::min(magnitude * base + DigitValue(text[i]), kMagnitudeCap);
    if (i == firstDigit)
        return std::nullopt;
    pos = i;
    return ScannedInteger{negative, magnitude};
}

int ToInt(const ScannedInteger& n) {
    if (n.negative)
        return n.magnitude >= std::uint64_t{1} << 31 ? INT_MIN : -static_cast<int>(n.magnitude);
    return n.magnitude > INT_MAX ? INT_MAX : static_cast<int>(n.magnitude);
}

unsigned ToUnsigned(const ScannedInteger& n) {
    if (n.magnitude > UINT_MAX)
        return UINT_MAX;
    const auto magnitude = static_cast<unsigned>(n.magnitude);
    return n.negative ? 0u - magnitude : magnitude;
}

locale_t ClassicLocale() {
    static const locale_t classic = newlocale(LC_ALL_MASK, "C", nullptr);
    return classic;
}

std::wstring Widen(std::string_view ascii) {
    return {ascii.begin(), ascii.end()};
}

// Unlike one hex-scanning call per pair, this never lets a sign or blank widen a component.
unsigned HexPair(wchar_t high, wchar_t low) {
    const unsigned h = DigitValue(high);
    if (h >= 16)
        return 0;
    const unsigned l = DigitValue(low);
    return l >= 16 ? h : h * 16 + l;
}

} // namespace

bool wstring_to_bool(const std::wstring& text) {
    const std::wstring lower = Vellmar::ToLower(text);
    return !(lower == L"false" || lower == L"0" || lower == L"f");
}

std::wstring bool_to_wstring(bool value) {
    return value ? L"true" : L"false";
}

int wstring_to_int(const std::wstring& text, int defaultValue) {
    std::size_t pos = 0;
    const auto n = ScanInteger(text, pos, true);
    return n ? ToInt(*n) : defaultValue;
}

std::wstring int_to_wstring(int value) {
    return std::to_wstring(value);
}

unsigned wstring_to_uint(const std::wstring& text, unsigned defaultValue) {
    std::size_t pos = 0;
    const auto n = ScanInteger(text, pos, false);
    return n ? ToUnsigned(*n) : defaultValue;
}

std::wstring uint_to_wstring(unsigned value) {
    return std::to_wstring(value);
}

float wstring_to_float(const std::wstring& text, float defaultValue) {
    const locale_t classic = ClassicLocale();
    if (text.empty() || classic == nullptr)
        return defaultValue;
    wchar_t* end = nullptr;
    const float value = wcstof_l(text.c_str(), &end, classic);
    return end == text.c_str() ? defaultValue : value;
}

std::wstring float_to_wstring(float value) {
    std::array<char, 128> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(),
                                      static_cast<double>(value), std::chars_format::fixed, 6);
    return Widen({buffer.data(), result.ptr});
}

COLORREF wstring_to_COLORREF(const std::wstring& text) {
    if (text.size() != 6)
        throw TypeConversionErrorException(L"wstring_to_COLORREF(): Invalid String length");
    const unsigned red = HexPair(text[0], text[1]);
    const unsigned green = HexPair(text[2], text[3]);
    const unsigned blue = HexPair(text[4], text[5]);
    return red + 256 * green + 65536 * blue;
}

std::wstring COLORREF_to_wstring(COLORREF colour) {
    static constexpr wchar_t kDigits[] = L"0123456789ABCDEF";
    std::wstring text;
    for (const std::uint8_t component : {GetRValue(colour), GetGValue(colour), GetBValue(colour)}) {
        text += kDigits[component >> 4];
        text += kDigits[component & 0x0F];
    }
    return text;
}

RECT wstring_to_RECT(const std::wstring& text) {
    std::wstring spaced = text;
    std::replace(spaced.begin(), spaced.end(), L',', L' ');
    std::wstring collapsed;
    collapsed.reserve(spaced.size());
    for (std::size_t i = 0; i < spaced.size(); ++i) {
        collapsed += spaced[i];
        if (spaced[i] == L' ' && i + 1 < spaced.size() && spaced[i + 1] == L' ')
            ++i;
    }
    RECT rect;
    std::size_t pos = 0;
    for (std::int32_t* field : {&rect.left, &rect.top, &rect.right, &rect.bottom}) {
        const auto n = ScanInteger(collapsed, pos, true);
        if (!n)
            break;
        *field = ToInt(*n);
    }
    return rect;
}

std::wstring RECT_to_wstring(const RECT& rect) {
    return std::to_wstring(rect.left) + L", " + std::to_wstring(rect.top) + L", " +
           std::to_wstring(rect.right) + L", " + std::to_wstring(rect.bottom);
}

std::uint32_t wstring_to_flags(const NameTable& table, const std::wstring& text) {
    std::uint32_t flags = 0;
    for (const auto& [name, value] : table)
        if (text.find(name) != std::wstring::npos)
            flags |= value;
    return flags;
}

std::wstring flags_to_wstring(const NameTable& table, std::uint32_t flags,
                              const std::wstring& separator) {
    std::wstring text;
    bool first = true;
    for (const auto& [name, value] : table) {
        if ((value & flags) != value)
            continue;
        if (!first)
            text += separator;
        text += name;
        first = false;
    }
    return text;
}

std::wstring value_to_name(const NameTable& table, std::uint32_t value) {
    for (const auto& [name, entry] : table)
        if (entry == value)
            return name;
    return {};
}

} // namespace LTF
