#pragma once

#include <libxml/parser.h>
#include <libxml/xmlerror.h>

namespace LTF::Xml::Implementation {

// Process-wide libxml2 set-up, done once and thread-safely before the first parse: the parser
// globals and an external-entity loader that refuses every resource our own parses ask for.
// There is deliberately no xmlCleanupParser: it would pull the globals from under any other
// library in the process that still uses libxml2; they are released at exit.
class LibXmlRuntime {
public:
    static void Initialize();

    // While one of our parses runs on the calling thread: marks `context` as ours and routes
    // the thread's libxml2 errors (which would otherwise go to stderr) to `handler`.
    class ParseScope {
    public:
        ParseScope(xmlParserCtxtPtr context, xmlStructuredErrorFunc handler, void* data);
        ~ParseScope();
        ParseScope(const ParseScope&) = delete;
        ParseScope& operator=(const ParseScope&) = delete;

    private:
        xmlParserCtxtPtr previous;
        xmlStructuredErrorFunc previousHandler;
        void* previousData;
    };
};

} // namespace LTF::Xml::Implementation
