#include "ltf/xml/LibXmlParser.h"

#include "ltf/xml/LibXmlDocument.h"
#include "ltf/xml/LibXmlRuntime.h"
#include "ltf/xml/LibXmlText.h"
#include "ltf/xml/LibXmlTreeCheck.h"
#include "ltf/xml/StartTagScan.h"
#include "support/LtfException.h"
#include "support/PathResolve.h"

#include <libxml/SAX2.h>
#include <libxml/parser.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <optional>
#include <string>
#include <system_error>
#include <unordered_map>

namespace LTF::Xml::Implementation {

namespace {

constexpr const char* kSource = "LibXmlParser";

struct ContextFree {
    void operator()(xmlParserCtxtPtr context) const { xmlFreeParserCtxt(context); }
};
struct DocumentFree {
    void operator()(xmlDocPtr document) const { xmlFreeDoc(document); }
};

struct FirstError {
    int line = 0;
    int column = 0;
    std::wstring reason;
    bool set = false;
    bool refused = false; // stopped by a bound of ours, whatever the parser thinks of the rest
    std::unordered_map<std::string, std::size_t> declaredAttributes;
};

// Keeps the first error, as the reader of a message wants the cause, not the aftermath.
void Record(FirstError* first, xmlErrorPtr error) {
    if (first == nullptr || first->set || error == nullptr || error->level < XML_ERR_ERROR)
        return;
    first->set = true;
    first->line = error->line;
    first->column = error->int2;
    first->reason = WideFromXml(reinterpret_cast<const xmlChar*>(error->message));
    while (!first->reason.empty() &&
           (first->reason.back() == L'\n' || first->reason.back() == L'\r'))
        first->reason.pop_back();
}

void RecordContextError(void* userData, xmlErrorPtr error) {
    Record(static_cast<FirstError*>(static_cast<xmlParserCtxtPtr>(userData)->_private), error);
}

// Encoding and input errors are raised without the parser context.
void RecordThreadError(void* userData, xmlErrorPtr error) {
    Record(static_cast<FirstError*>(userData), error);
}

// Default attributes declared in the document type are added to every start tag of their
// element, so they are bounded like written ones.
void BoundedAttributeDecl(void* userData, const xmlChar* element, const xmlChar* name, int type,
                          int def, const xmlChar* defaultValue, xmlEnumerationPtr tree) {
    auto context = static_cast<xmlParserCtxtPtr>(userData);
    FirstError& first = *static_cast<FirstError*>(context->_private);
    if (++first.declaredAttributes[reinterpret_cast<const char*>(element)] >
        StartTagScan::kMaxAttributes) {
        xmlFreeEnumeration(tree);
        if (!first.set) {
            first.set = true;
            first.line = xmlSAX2GetLineNumber(context);
            first.column = xmlSAX2GetColumnNumber(context);
            first.reason = L"An element has more than " +
                           std::to_wstring(StartTagScan::kMaxAttributes) + L" declared attributes.";
        }
        first.refused = true;
        xmlStopParser(context);
        return;
    }
    xmlSAX2AttributeDecl(userData, element, name, type, def, defaultValue, tree);
}

[[noreturn]] void ThrowParseError(const std::wstring& source, int line, int column,
                                  std::wstring reason) {
    throw XmlParseErrorException(source, line, column, std::move(reason));
}

std::wstring TooLarge() {
    return L"The document is larger than " +
           std::to_wstring(LibXmlParser::kMaxDocumentBytes >> 20) + L" MiB.";
}

struct FileCloser {
    int fd;
    ~FileCloser() { ::close(fd); }
};

// Reads at most kMaxDocumentBytes + 1 bytes, so that an endless or huge file costs no more.
std::optional<std::string> ReadBounded(const std::string& path, std::wstring& error) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        error = L"The file could not be opened: " +
                WideFromXml(reinterpret_cast<const xmlChar*>(
                    std::error_code(errno, std::generic_category()).message().c_str()));
        return std::nullopt;
    }
    FileCloser closer{fd};
    struct stat info {};
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) &&
        static_cast<std::uintmax_t>(info.st_size) > LibXmlParser::kMaxDocumentBytes) {
        error = TooLarge();
        return std::nullopt;
    }
    std::string bytes;
    char chunk[65536];
    while (bytes.size() <= LibXmlParser::kMaxDocumentBytes) {
        const ssize_t got = ::read(fd, chunk, sizeof chunk);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            error = L"The file could not be read: " +
                    WideFromXml(reinterpret_cast<const xmlChar*>(
                        std::error_code(errno, std::generic_category()).message().c_str()));
            return std::nullopt;
        }
        if (got == 0)
            return bytes;
        bytes.append(chunk, static_cast<std::size_t>(got));
    }
    error = TooLarge();
    return std::nullopt;
}

} // namespace

LibXmlParser::LibXmlParser() {
    LibXmlRuntime::Initialize();
}

LibXmlParser::~LibXmlParser() = default;

void LibXmlParser::ReleaseDocument() {
    document.reset();
}

XmlDocument* LibXmlParser::GetDocument() const {
    return document.get();
}

void LibXmlParser::ParseFile(const std::wstring& sFileName) {
    if (sFileName.empty())
        throw InvalidArgumentException("sFileName", kSource, __LINE__);
    std::wstring error;
    const std::optional<std::string> bytes = ReadBounded(Vellmar::NativePath(sFileName), error);
    if (!bytes)
        ThrowParseError(sFileName, 0, 0, error);
    Parse(*bytes, sFileName, false);
}

void LibXmlParser::ParseString(const std::wstring& sXmlString) {
    if (sXmlString.empty())
        throw InvalidArgumentException("sXmlString", kSource, __LINE__);
    // Every character takes at least one byte, so this refuses before converting.
    if (sXmlString.size() > kMaxDocumentBytes)
        ThrowParseError(sXmlString, 0, 0, TooLarge());
    Parse(Utf8ForXml(sXmlString), sXmlString, true);
}

void LibXmlParser::ParseBytes(std::string_view bytes, const std::wstring& source) {
    Parse(bytes, source, false);
}

void LibXmlParser::Parse(std::string_view bytes, const std::wstring& source, bool decoded) {
    if (bytes.size() > kMaxDocumentBytes)
        ThrowParseError(source, 0, 0, TooLarge());
    const StartTagScan::Refusal refusal = StartTagScan::Run(bytes);
    if (!refusal.reason.empty())
        ThrowParseError(source, refusal.line, refusal.column, refusal.reason);
    std::unique_ptr<xmlParserCtxt, ContextFree> context(xmlNewParserCtxt());
    if (context == nullptr || context->sax == nullptr)
        throw UnexpectedErrorException();
    FirstError first;
    context->_private = &first;
    context->sax->serror = RecordContextError;
    context->sax->attributeDecl = BoundedAttributeDecl;
    // Text that arrives as wide characters is already decoded, whatever its declaration says.
    const int options =
        XML_PARSE_NONET | XML_PARSE_BIG_LINES | (decoded ? XML_PARSE_IGNORE_ENC : 0);
    std::unique_ptr<xmlDoc, DocumentFree> parsed;
    {
        LibXmlRuntime::ParseScope scope(context.get(), RecordThreadError, &first);
        parsed.reset(xmlCtxtReadMemory(context.get(), bytes.data(), static_cast<int>(bytes.size()),
                                       nullptr, decoded ? "UTF-8" : nullptr, options));
    }
    if (parsed == nullptr || first.refused || !context->wellFormed || !context->nsWellFormed) {
        if (!first.set)
            first.reason = L"The document is not well-formed.";
        ThrowParseError(source, first.line, first.column, first.reason);
    }
    const std::wstring refused = LibXmlTreeCheck(parsed.get()).Run();
    if (!refused.empty())
        ThrowParseError(source, 0, 0, refused);
    auto next = std::make_unique<LibXmlDocument>(parsed.release());
    document = std::move(next);
}

} // namespace LTF::Xml::Implementation
