#include "support/Conversions.h"
#include "support/LtfException.h"
#include "support/Text.h"
#include "tests/supportlib/Thrown.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>

using namespace LTF;

// "\x0661\x0662": non-ASCII digits are not digits.
TEST(IntReading, FollowsScanfInteger) {
    // clang-format off
    const std::pair<const wchar_t*, int> cases[] = {
        {L"", -7}, {L"abc", -7}, {L"-", -7}, {L"+ 5", -7}, {L"42", 42}, {L"  \t-42", -42},
        {L"+8", 8}, {L"0x10", 16}, {L"0XfF", 255}, {L"-0x10", -16}, {L"010", 8}, {L"08", 0},
        {L"0x", 0}, {L"0xg", 0}, {L"12abc", 12}, {L"0", 0}, {L"\x0661\x0662", -7},
        {L"2147483647", INT_MAX}, {L"-2147483648", INT_MIN}, {L"2147483648", INT_MAX},
        {L"-99999999999999999999", INT_MIN}, {L"0x7fffffffffffffffffff", INT_MAX}};
    // clang-format on
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(wstring_to_int(text, -7), expected) << text;
}

TEST(UintReading, DecimalWithCWrapOfMinusAndSaturation) {
    // "%u" knows no prefix: "0x10" is 0.
    // clang-format off
    const std::pair<const wchar_t*, unsigned> cases[] = {
        {L"", 9u}, {L"x", 9u}, {L"0x10", 0u}, {L"010", 10u}, {L"4294967295", 4294967295u},
        {L"4294967296", 4294967295u}, {L"-1", 4294967295u}};
    // clang-format on
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(wstring_to_uint(text, 9u), expected) << text;
}

TEST(BoolReading, OnlyThreeFalseWords) {
    for (const wchar_t* text : {L"false", L"FALSE", L"False", L"0", L"f", L"F"})
        EXPECT_FALSE(wstring_to_bool(text)) << text;
    for (const wchar_t* text : {L"", L"no", L"off", L"true", L"00", L"fals", L" false"})
        EXPECT_TRUE(wstring_to_bool(text)) << text;
    EXPECT_EQ(bool_to_wstring(true) + bool_to_wstring(false), L"truefalse");
}

TEST(FloatConversion, ReadsAndWritesIndependentlyOfProcessLocale) {
    // A decimal comma locale must not change either direction; skip quietly where none exists.
    const char* previous = std::setlocale(LC_ALL, nullptr);
    const std::string saved = previous ? previous : "C";
    std::setlocale(LC_ALL, "de_DE.UTF-8");
    EXPECT_FLOAT_EQ(wstring_to_float(L"1.5", 0.f), 1.5f);
    EXPECT_FLOAT_EQ(wstring_to_float(L" -2.25e1xyz", 0.f), -22.5f);
    EXPECT_FLOAT_EQ(wstring_to_float(L"abc", 3.f), 3.f);
    EXPECT_FLOAT_EQ(wstring_to_float(L"", 3.f), 3.f);
    EXPECT_TRUE(std::isinf(wstring_to_float(L"1e999", 0.f)));
    EXPECT_EQ(float_to_wstring(1.5f), L"1.500000");
    EXPECT_EQ(float_to_wstring(-0.1f), L"-0.100000");
    EXPECT_EQ(float_to_wstring(3.4028235e38f), L"340282346638528859811704183484516925440.000000");
    std::setlocale(LC_ALL, saved.c_str());
}

TEST(Colour, ReadsThreeHexPairsAndWritesUpperCaseIgnoringHighByte) {
    const std::pair<const wchar_t*, COLORREF> cases[] = {
        {L"FF8000", RGB(255, 128, 0)}, {L"ff8000", RGB(255, 128, 0)}, {L"010203", RGB(1, 2, 3)},
        {L"F-8zzA", RGB(15, 8, 0)},    {L"-1 1+1", RGB(0, 0, 0)},     {L"0x0x0x", RGB(0, 0, 0)}};
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(wstring_to_COLORREF(text), expected) << text;
    for (const wchar_t* text : {L"", L"FFF", L"FF80000", L"FF800\u00e9\u00e9"})
        EXPECT_EQ(Vellmar::Testing::ThrownMessage<TypeConversionErrorException>(
                      [&] { wstring_to_COLORREF(text); }),
                  L"wstring_to_COLORREF(): Invalid String length")
            << text;
    EXPECT_EQ(COLORREF_to_wstring(RGB(1, 2, 3)), L"010203");
    EXPECT_EQ(COLORREF_to_wstring(RGB(0xAB, 0xCD, 0xEF) | 0xFF000000u), L"ABCDEF");
}

TEST(Rect, FourIntegersSeparatedByBlanksOrCommasAndWrittenBack) {
    // clang-format off
    const std::pair<const wchar_t*, RECT> cases[] = {
        {L"10 20 30 40", {10, 20, 30, 40}}, {L"10, 20, 30, 40", {10, 20, 30, 40}},
        {L"10,20,,30,,,,40", {10, 20, 30, 40}}, {L"1,2,3", {1, 2, 3, 0}}, {L"", {0, 0, 0, 0}},
        {L"-5 0x10 010 7 99", {-5, 16, 8, 7}}, {L"1;2 3 4", {1, 0, 0, 0}},
        {L"08 1 2", {0, 8, 1, 2}}, {L"x 1 2 3 4", {0, 0, 0, 0}},
        {L"99999999999,-99999999999", {INT_MAX, INT_MIN, 0, 0}}};
    // clang-format on
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(wstring_to_RECT(text), expected) << text;
    const RECT r{-1, 2, 300, 4000};
    EXPECT_EQ(RECT_to_wstring(r), L"-1, 2, 300, 4000");
    EXPECT_EQ(wstring_to_RECT(RECT_to_wstring(r)), r);
}

TEST(Flags, NamesFoundAnywhereCaseSensitiveWrittenInTableOrder) {
    const NameTable align{{L"center", 1}, {L"left", 2}, {L"right", 4}, {L"none", 0}, {L"lr", 6}};
    EXPECT_EQ(wstring_to_flags(align, L"left|center"), 3u);
    EXPECT_EQ(wstring_to_flags(align, L"xxleftxx"), 2u);
    EXPECT_EQ(wstring_to_flags(align, L"LEFT"), 0u);
    // Zero always listed.
    EXPECT_EQ(flags_to_wstring(align, 6, L" | "), L"left | lr | none | right");
    EXPECT_EQ(flags_to_wstring(align, 0, L","), L"none");
    EXPECT_EQ(flags_to_wstring(align, 1, L","), L"center,none");
    // The first name in table order, which sorts by name.
    EXPECT_EQ(value_to_name({{L"b", 5}, {L"a", 5}}, 5), L"a");
    EXPECT_EQ(value_to_name(align, 4), L"right");
    EXPECT_EQ(value_to_name(align, 99), L"");
}

TEST(Utf8, EveryLengthRoundTripsAndMalformedBytesBecomeReplacements) {
    const std::wstring text = L"a\u00e9\u20ac\U0001F3AE"; // one to four bytes each
    EXPECT_EQ(Vellmar::WideToUtf8(text), "a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x8E\xAE");
    EXPECT_EQ(Vellmar::Utf8ToWide(Vellmar::WideToUtf8(text)), text);
    EXPECT_EQ(Vellmar::Utf8ToWide("\xFF"
                                  "a\xE2\x82"),
              L"\uFFFDa\uFFFD\uFFFD");
}
