// Every attribute reader on arbitrary text: no crash, values in range, round trips hold, and
// the integer reader agrees with the C library's base-0 conversion on ASCII text.
#include "support/Conversions.h"
#include "support/LtfException.h"
#include "support/Text.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cwchar>
#include <string_view>

namespace {

void Check(bool condition) {
    if (!condition)
        std::abort();
}

void CompareWithLibraryInteger(const std::wstring& text) {
    if (!std::all_of(text.begin(), text.end(), [](wchar_t c) { return c > 0 && c < 128; }))
        return;
    wchar_t* end = nullptr;
    const long reference = std::wcstol(text.c_str(), &end, 0);
    const int expected = end == text.c_str()
                             ? -12345
                             : static_cast<int>(std::clamp<long>(reference, INT_MIN, INT_MAX));
    Check(LTF::wstring_to_int(text, -12345) == expected);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::wstring text = Vellmar::Utf8ToWide({reinterpret_cast<const char*>(data), size});

    LTF::wstring_to_bool(text);
    const int i = LTF::wstring_to_int(text, 7);
    Check(LTF::wstring_to_int(LTF::int_to_wstring(i), 0) == i);
    CompareWithLibraryInteger(text);
    const unsigned u = LTF::wstring_to_uint(text, 7);
    Check(LTF::wstring_to_uint(LTF::uint_to_wstring(u), 0) == u);
    const float f = LTF::wstring_to_float(text, 1.f);
    Check(!LTF::float_to_wstring(f).empty());

    try {
        const COLORREF c = LTF::wstring_to_COLORREF(text);
        Check(text.size() == 6 && c <= 0xFFFFFFu);
        Check(LTF::wstring_to_COLORREF(LTF::COLORREF_to_wstring(c)) == c);
    } catch (const TypeConversionErrorException&) {
        Check(text.size() != 6);
    }

    const RECT r = LTF::wstring_to_RECT(text);
    Check(LTF::wstring_to_RECT(LTF::RECT_to_wstring(r)) == r);

    const LTF::NameTable table{{L"left", 1}, {L"center", 2}, {L"", 0}, {L"x", 0x80000000u}};
    const std::uint32_t flags = LTF::wstring_to_flags(table, text);
    const std::wstring names = LTF::flags_to_wstring(table, flags, L"|");
    Check(LTF::wstring_to_flags(table, names) == flags);
    LTF::value_to_name(table, flags);
    return 0;
}
