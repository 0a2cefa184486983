#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace LTF::Xml::Implementation {

// A pass over a document's raw bytes before it is parsed, counting the attributes and the
// namespace declarations of each start tag. libxml2 checks every attribute of an element
// against every other one, so a single element with a hundred thousand attributes would take
// a minute to parse; configurations need a few dozen. Understands comments, CDATA sections,
// processing instructions, the document type declaration and quoted values, in UTF-8, other
// ASCII-compatible encodings, UTF-16 and UTF-32 (by byte-order mark or first character).
class StartTagScan {
public:
    static constexpr std::size_t kMaxAttributes = 256;
    static constexpr std::size_t kMaxNamespaces = 256;

    struct Refusal {
        int line = 0;
        int column = 0;
        std::wstring reason; // empty: nothing refused
    };

    static Refusal Run(std::string_view bytes);
};

} // namespace LTF::Xml::Implementation
