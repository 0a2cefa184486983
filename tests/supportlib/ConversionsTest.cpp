#include "support/Conversions.h"
#include "support/LtfException.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>

using namespace LTF;

namespace {

struct IntCase {
    const wchar_t* text;
    int expected;
};

class IntReading : public ::testing::TestWithParam<IntCase> {};

TEST_P(IntReading, FollowsScanfInteger) {
    EXPECT_EQ(wstring_to_int(GetParam().text, -7), GetParam().expected) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, IntReading,
    ::testing::Values(IntCase{L"", -7}, IntCase{L"abc", -7}, IntCase{L"-", -7}, IntCase{L"+ 5", -7},
                      IntCase{L"42", 42}, IntCase{L"  \t-42", -42}, IntCase{L"+8", 8},
                      IntCase{L"0x10", 16}, IntCase{L"0XfF", 255}, IntCase{L"-0x10", -16},
                      IntCase{L"010", 8}, IntCase{L"08", 0}, IntCase{L"0x", 0}, IntCase{L"0xg", 0},
                      IntCase{L"12abc", 12}, IntCase{L"0", 0}, IntCase{L"2147483647", 2147483647},
                      IntCase{L"-2147483648", INT_MIN}, IntCase{L"2147483648", INT_MAX},
                      IntCase{L"-99999999999999999999", INT_MIN},
                      IntCase{L"0x7fffffffffffffffffff", INT_MAX},
                      IntCase{L"\x0661\x0662", -7})); // non-ASCII digits are not digits

TEST(UintReading, DecimalWithCWrapOfMinusAndSaturation) {
    EXPECT_EQ(wstring_to_uint(L"", 9u), 9u);
    EXPECT_EQ(wstring_to_uint(L"x", 9u), 9u);
    EXPECT_EQ(wstring_to_uint(L"0x10", 9u), 0u); // "%u" knows no prefix
    EXPECT_EQ(wstring_to_uint(L"010", 9u), 10u);
    EXPECT_EQ(wstring_to_uint(L"4294967295", 9u), 4294967295u);
    EXPECT_EQ(wstring_to_uint(L"4294967296", 9u), 4294967295u);
    EXPECT_EQ(wstring_to_uint(L"-1", 9u), 4294967295u);
}

TEST(BoolReading, OnlyThreeFalseWords) {
    for (const wchar_t* text : {L"false", L"FALSE", L"False", L"0", L"f", L"F"})
        EXPECT_FALSE(wstring_to_bool(text)) << text;
    for (const wchar_t* text : {L"", L"no", L"off", L"true", L"00", L"fals", L" false"})
        EXPECT_TRUE(wstring_to_bool(text)) << text;
    EXPECT_EQ(bool_to_wstring(true), L"true");
    EXPECT_EQ(bool_to_wstring(false), L"false");
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

struct ColourCase {
    const wchar_t* text;
    COLORREF expected;
};

class ColourReading : public ::testing::TestWithParam<ColourCase> {};

TEST_P(ColourReading, ReadsThreeHexPairs) {
    EXPECT_EQ(wstring_to_COLORREF(GetParam().text), GetParam().expected) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(Cases, ColourReading,
                         ::testing::Values(ColourCase{L"FF8000", RGB(255, 128, 0)},
                                           ColourCase{L"ff8000", RGB(255, 128, 0)},
                                           ColourCase{L"010203", RGB(1, 2, 3)},
                                           ColourCase{L"F-8zzA", RGB(15, 8, 0)},
                                           ColourCase{L"-1 1+1", RGB(0, 0, 0)},
                                           ColourCase{L"0x0x0x", RGB(0, 0, 0)}));

TEST(ColourReading, WrongLengthRaisesWithItsText) {
    for (const wchar_t* text : {L"", L"FFF", L"FF80000", L"FF800\u00e9\u00e9"}) {
        try {
            wstring_to_COLORREF(text);
            ADD_FAILURE() << "no exception for length " << std::wstring(text).size();
        } catch (const TypeConversionErrorException& e) {
            EXPECT_EQ(e.Message(), L"wstring_to_COLORREF(): Invalid String length");
        }
    }
}

TEST(ColourWriting, UpperCaseRedGreenBlueIgnoringHighByte) {
    EXPECT_EQ(COLORREF_to_wstring(RGB(1, 2, 3)), L"010203");
    EXPECT_EQ(COLORREF_to_wstring(RGB(0xAB, 0xCD, 0xEF) | 0xFF000000u), L"ABCDEF");
}

struct RectCase {
    const wchar_t* text;
    RECT expected;
};

class RectReading : public ::testing::TestWithParam<RectCase> {};

TEST_P(RectReading, FourIntegersSeparatedByBlanksOrCommas) {
    EXPECT_EQ(wstring_to_RECT(GetParam().text), GetParam().expected) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RectReading,
    ::testing::Values(RectCase{L"10 20 30 40", {10, 20, 30, 40}},
                      RectCase{L"10, 20, 30, 40", {10, 20, 30, 40}},
                      RectCase{L"10,20,,30,,,,40", {10, 20, 30, 40}},
                      RectCase{L"1,2,3", {1, 2, 3, 0}}, RectCase{L"", {0, 0, 0, 0}},
                      RectCase{L"-5 0x10 010 7 99", {-5, 16, 8, 7}},
                      RectCase{L"1;2 3 4", {1, 0, 0, 0}}, RectCase{L"08 1 2", {0, 8, 1, 2}},
                      RectCase{L"x 1 2 3 4", {0, 0, 0, 0}},
                      RectCase{L"99999999999,-99999999999", {INT_MAX, INT_MIN, 0, 0}}));

TEST(RectWriting, CommaSeparatedAndReadsBack) {
    const RECT r{-1, 2, 300, 4000};
    EXPECT_EQ(RECT_to_wstring(r), L"-1, 2, 300, 4000");
    EXPECT_EQ(wstring_to_RECT(RECT_to_wstring(r)), r);
}

const NameTable kAlign{{L"center", 1}, {L"left", 2}, {L"right", 4}, {L"none", 0}, {L"lr", 6}};

TEST(Flags, NamesFoundAnywhereCaseSensitive) {
    EXPECT_EQ(wstring_to_flags(kAlign, L"left|center"), 3u);
    EXPECT_EQ(wstring_to_flags(kAlign, L"xxleftxx"), 2u);
    EXPECT_EQ(wstring_to_flags(kAlign, L"LEFT"), 0u);
    EXPECT_EQ(wstring_to_flags(kAlign, L""), 0u);
}

TEST(Flags, WritesMatchingNamesInTableOrderZeroAlwaysListed) {
    EXPECT_EQ(flags_to_wstring(kAlign, 6, L" | "), L"left | lr | none | right");
    EXPECT_EQ(flags_to_wstring(kAlign, 0, L","), L"none");
    EXPECT_EQ(flags_to_wstring({}, 7, L","), L"");
    EXPECT_EQ(flags_to_wstring(kAlign, 1, L","), L"center,none");
}

TEST(Flags, ValueToNameTakesFirstInTableOrder) {
    const NameTable twins{{L"b", 5}, {L"a", 5}};
    EXPECT_EQ(value_to_name(twins, 5), L"a");
    EXPECT_EQ(value_to_name(kAlign, 4), L"right");
    EXPECT_EQ(value_to_name(kAlign, 99), L"");
}

} // namespace
