#include "ltf/xml/LibXmlRuntime.h"

#include <libxml/globals.h>
#include <libxml/parserInternals.h>

#include <mutex>

namespace LTF::Xml::Implementation {

namespace {

thread_local xmlParserCtxtPtr activeContext = nullptr;
xmlExternalEntityLoader previousLoader = nullptr;

// Configuration files must never reach the file system or the network behind our back
// (external entities, external DTD subsets); other libxml2 users keep the old loader.
xmlParserInputPtr RefuseExternal(const char* url, const char* id, xmlParserCtxtPtr context) {
    if (context != nullptr && context == activeContext)
        return nullptr;
    return previousLoader != nullptr ? previousLoader(url, id, context) : nullptr;
}

} // namespace

void LibXmlRuntime::Initialize() {
    static std::once_flag once;
    std::call_once(once, [] {
        xmlInitParser();
        previousLoader = xmlGetExternalEntityLoader();
        xmlSetExternalEntityLoader(RefuseExternal);
    });
}

LibXmlRuntime::ParseScope::ParseScope(xmlParserCtxtPtr context, xmlStructuredErrorFunc handler,
                                      void* data)
    : previous(activeContext), previousHandler(xmlStructuredError),
      previousData(xmlStructuredErrorContext) {
    activeContext = context;
    // Both are per-thread in a threaded libxml2, so other threads keep their own.
    xmlSetStructuredErrorFunc(data, handler);
}

LibXmlRuntime::ParseScope::~ParseScope() {
    xmlSetStructuredErrorFunc(previousData, previousHandler);
    activeContext = previous;
}

} // namespace LTF::Xml::Implementation
