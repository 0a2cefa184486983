#pragma once

namespace LTF::Xml {

// Element, text and comment are the kinds callers branch on; everything else (CDATA, processing
// instructions, entity references) reads as Other.
enum class XmlNodeType : int { Other = 0, Element = 1, Text = 2, Comment = 3 };

} // namespace LTF::Xml
