#pragma once

#include <libxml/parser.h>

namespace LTF::Xml::Implementation {

// Process-wide libxml2 set-up, done once and thread-safely before the first parse: the parser
// globals and an external-entity loader that refuses every resource our own parses ask for.
// There is deliberately no xmlCleanupParser: it would pull the globals from under any other
// library in the process that still uses libxml2; they are released at exit.
class LibXmlRuntime {
public:
    static void Initialize();

    // Marks `context` as ours on the calling thread while it parses.
    class ParseScope {
    public:
        explicit ParseScope(xmlParserCtxtPtr context);
        ~ParseScope();
        ParseScope(const ParseScope&) = delete;
        ParseScope& operator=(const ParseScope&) = delete;

    private:
        xmlParserCtxtPtr previous;
    };
};

} // namespace LTF::Xml::Implementation
