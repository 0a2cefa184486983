#pragma once

#include "support/WinTypes.h"

#include <cstdint>
#include <string>

namespace LTF {

// Attribute text to values and back. Reading never raises except for a colour of the wrong
// length; unreadable text gives the default (or 0). Output never depends on the process locale.

// False for "false", "0" and "f" in any letter case; true for everything else, "" included.
bool wstring_to_bool(const std::wstring& text);
std::wstring bool_to_wstring(bool value);

// Leading blanks, a sign, then decimal, 0x hexadecimal or 0-prefixed octal; reading stops at the
// first character that does not fit ("12abc" is 12). Out-of-range values saturate.
int wstring_to_int(const std::wstring& text, int defaultValue);
std::wstring int_to_wstring(int value);

// Decimal only; a leading minus wraps as in C ("-1" is 4294967295), out of range saturates.
unsigned wstring_to_uint(const std::wstring& text, unsigned defaultValue);
std::wstring uint_to_wstring(unsigned value);

float wstring_to_float(const std::wstring& text, float defaultValue);
// Six decimals, '.' as the decimal point.
std::wstring float_to_wstring(float value);

// Exactly six characters "RRGGBB" (any letter case), else TypeConversionErrorException.
COLORREF wstring_to_COLORREF(const std::wstring& text);
std::wstring COLORREF_to_wstring(COLORREF colour);

// "left top right bottom", blanks or commas between; unreadable fields are 0.
RECT wstring_to_RECT(const std::wstring& text);
std::wstring RECT_to_wstring(const RECT& rect);

// OR of the values of every name that occurs in the text (case-sensitive substring test).
std::uint32_t wstring_to_flags(const NameTable& table, const std::wstring& text);
// Every name whose value's bits are all set in `flags` (a zero value always), in table order.
std::wstring flags_to_wstring(const NameTable& table, std::uint32_t flags,
                              const std::wstring& separator);
// The first name in table order with exactly this value; "" if none.
std::wstring value_to_name(const NameTable& table, std::uint32_t value);

} // namespace LTF
