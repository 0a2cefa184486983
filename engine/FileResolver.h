#pragma once

#include <string>

class LauncherContext;

namespace LTF::Xml {
class XmlNode;
}

// Finds the file an element names with `file`, under the launcher's root folder or, when
// `root`, `path` and `key` are all set, under the folder a registry string names.
class FileResolver {
public:
    struct Result {
        bool found = false;
        std::wstring path;      // what was found, else the expanded `file`
        std::wstring arguments; // `arguments` as written
    };

    // The file exists as written (relative to the current folder), else the base folder and the
    // file joined by plain concatenation exist. An empty registry string finds nothing and
    // leaves `path` empty.
    static Result Resolve(LauncherContext& context, const LTF::Xml::XmlNode& element);
};
