#include "ltf/xml/XmlParser.h"

#include "ltf/xml/LibXmlParser.h"
#include "support/LtfException.h"

namespace LTF::Xml {

XmlParser* CreateXmlParser(int /*kind*/) {
    try {
        return new Implementation::LibXmlParser();
    } catch (const LTF::Exception&) {
        throw;
    } catch (...) {
        throw UnexpectedErrorException();
    }
}

} // namespace LTF::Xml
