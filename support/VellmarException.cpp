#include "support/VellmarException.h"

#include "support/Text.h"

#include <array>
#include <cerrno>
#include <cstring>
#include <filesystem>

namespace Vellmar {

namespace {

std::unique_ptr<Exception> CloneOrNull(const Exception* source) {
    return source ? source->Clone() : nullptr;
}

// errno 0 means nothing is known, which Windows callers expect as "no system text".
std::string SystemText(int errorNumber) {
    if (errorNumber == 0)
        return {};
    std::array<char, 256> buffer{};
    return ::strerror_r(errorNumber, buffer.data(), buffer.size());
}

std::string WithSystemText(const std::string& context, int errorNumber) {
    const std::string text = SystemText(errorNumber);
    return text.empty() ? context : context + "\n" + text;
}

bool ParentFolderExists(const std::wstring& path) {
    if (path.empty())
        return true;
    std::error_code ignored;
    const auto parent = std::filesystem::path(WideToUtf8(path)).parent_path();
    return parent.empty() || std::filesystem::is_directory(parent, ignored);
}

} // namespace

Exception::Exception()
    : message("An error occurred but there are no details available about the error.") {}

Exception::Exception(std::string message) : message(std::move(message)) {}

Exception::Exception(std::string message, const Exception* cause)
    : message(std::move(message)), inner(CloneOrNull(cause)) {}

Exception::Exception(std::string message, std::unique_ptr<Exception> cause)
    : message(std::move(message)), inner(std::move(cause)) {}

Exception::Exception(const Exception& other)
    : std::exception(other), message(other.message), inner(CloneOrNull(other.inner.get())) {}

Exception& Exception::operator=(const Exception& other) {
    if (this != &other) {
        message = other.message;
        inner = CloneOrNull(other.inner.get());
    }
    return *this;
}

Exception::~Exception() = default;

const char* Exception::what() const noexcept {
    return "Unknown exception";
}

std::unique_ptr<Exception> Exception::Clone() const {
    return std::make_unique<Exception>(*this);
}

const std::string& Exception::Message() const {
    return message;
}

void Exception::Raise() const {
    throw Exception(*this);
}

std::string DescribeException(const std::exception& error) {
    const auto* own = dynamic_cast<const Exception*>(&error);
    if (!own)
        return error.what();
    std::string text = own->Message();
    for (const Exception* cause = own->Inner(); cause; cause = cause->Inner())
        text += "; " + cause->Message();
    return text;
}

ArgumentException::ArgumentException(std::string argumentName, std::string message)
    : Exception(std::move(message)), argumentName(std::move(argumentName)) {}

CRuntimeException::CRuntimeException(int errorNumber, std::string location)
    : Exception("A C runtime error occurred."), errorNumber(errorNumber),
      location(std::move(location)) {}

IOException::IOException(std::string message) : Exception(std::move(message)) {}

FileNotFoundException::FileNotFoundException()
    : IOException("The system cannot find the file specified.") {}

PathNotFoundException::PathNotFoundException()
    : IOException("The system cannot find the path specified.") {}

InvalidOperationException::InvalidOperationException(std::string message)
    : Exception(std::move(message)) {}

namespace Win32 {

Win32Exception::Win32Exception(const std::string& context) : Win32Exception(context, errno) {}

Win32Exception::Win32Exception(const std::string& context, int errorNumber)
    : Exception(WithSystemText(context, errorNumber)),
      errorCode(static_cast<std::uint32_t>(errorNumber)) {}

LinkageError::LinkageError(std::string libraryName)
    : LinkageError("Failed to load library: " + libraryName, libraryName) {}

LinkageError::LinkageError(const std::string& context, std::string libraryName)
    : Win32Exception(context), libraryName(std::move(libraryName)) {}

LoadProcError::LoadProcError(std::string libraryName, std::string procedureName)
    : LinkageError("Failed to load library procedure: " + libraryName + ", " + procedureName,
                   libraryName),
      procedureName(std::move(procedureName)) {}

} // namespace Win32

namespace Diagnostics {

LogException::LogException(std::string message) : Exception(std::move(message)) {}

} // namespace Diagnostics

void ThrowLastWin32Error(const std::string& context, const std::wstring& path) {
    ThrowLastWin32Error(context, errno, path);
}

void ThrowLastWin32Error(const std::string& context, int errorNumber, const std::wstring& path) {
    if (errorNumber == ENOENT) {
        if (ParentFolderExists(path))
            throw FileNotFoundException();
        throw PathNotFoundException();
    }
    if (errorNumber == ENOTDIR)
        throw PathNotFoundException();
    throw Win32::Win32Exception(context, errorNumber);
}

void ThrowCRuntimeError(const std::string& location) {
    throw CRuntimeException(errno, location);
}

} // namespace Vellmar

ConfigurationException::ConfigurationException(int step)
    : Exception("The application failed during configuration"), step(step) {}

RarException::RarException(int resultCode, int operation)
    : Exception(), operation(operation), resultCode(resultCode) {}

RarException::RarException(int resultCode, int operation, std::unique_ptr<Vellmar::Exception> cause)
    : Exception("", std::move(cause)), operation(operation), resultCode(resultCode) {}

namespace {

struct RarTexts {
    std::array<std::string, 6> open{
        "RAR open failed: Not enough memory to initialize data structures.",
        "RAR open failed: Archive header broken.",
        "RAR open failed: File is not a valid RAR archive.",
        "RAR open failed: Unknown encryption used for archive headers.",
        "RAR open failed: File open error.",
        "RAR open failed: Unexpected error."};
    std::array<std::string, 9> process{
        "RAR process file failed: File CRC error.",
        "RAR process file failed: Volume is not a valid RAR archive.",
        "RAR process file failed: Unknown archive format.",
        "RAR process file failed: Volume open error.",
        "RAR process file failed: File create error.",
        "RAR process file failed: File close error.",
        "RAR process file failed: Read error.",
        "RAR process file failed: Write error.",
        "RAR process file failed: Unexpected error."};
    std::array<std::string, 2> header{"RAR read header failed: File header broken.",
                                      "RAR read header failed: Unexpected error."};
    std::string unknown{"An unknown error occurred while processing a RAR archive."};
};

const RarTexts& Texts() {
    static const RarTexts texts;
    return texts;
}

} // namespace

const std::string& RarException::Message() const {
    const RarTexts& texts = Texts();
    switch (operation) {
    case 0:
        return resultCode >= 11 && resultCode <= 15 ? texts.open[resultCode - 11] : texts.open[5];
    case 1:
        return resultCode >= 12 && resultCode <= 19 ? texts.process[resultCode - 12]
                                                    : texts.process[8];
    case 2:
        return resultCode == 12 ? texts.header[0] : texts.header[1];
    default:
        return texts.unknown;
    }
}
