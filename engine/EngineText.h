#pragma once

#include <string>
#include <string_view>

class StringTable;

namespace LTF::Xml {
class XmlNode;
}

// The ways an action turns attribute text into what it uses.
namespace EngineText {

// The attribute as a key of the string table: its string in the selected (else default)
// language, variables expanded; "" for an unknown key.
std::wstring LookedUp(const StringTable& strings, const LTF::Xml::XmlNode& node,
                      const std::wstring& attribute);

// Variables, then environment variables in percent signs (bounded).
std::wstring ExpandedWithEnvironment(const StringTable& strings, const std::wstring& text);

// Absolute against the current directory, "." and ".." resolved, white space trimmed from
// both ends; "" for an empty text.
std::wstring FullPath(const std::wstring& path);

// Leading decimal digits after an optional sign; 0 when there are none. Saturates.
int LeadingDecimal(std::wstring_view text);

// A whole decimal integer with an optional sign, in range; anything else throws
// LTF::TypeConversionErrorException.
int StrictDecimal(const std::wstring& text);

bool AllSet(const std::wstring& a, const std::wstring& b, const std::wstring& c);

} // namespace EngineText
