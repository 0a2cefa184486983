#pragma once

namespace LTF::Xml {

class XmlNode;

// A node's live child list. Wrappers handed out belong to the document.
class XmlNodeList {
public:
    virtual ~XmlNodeList() = default;
    // The current number of children; follows later edits.
    virtual int GetLength() const = 0;
    // The child at `index`, or null outside 0 .. length - 1. The same child yields the same
    // wrapper on every call.
    virtual XmlNode* GetItem(int index) const = 0;
};

} // namespace LTF::Xml
