#pragma once

#include <cstdint>
#include <exception>
#include <string>

namespace LTF {

// Root of the framework family: XML layer, skinned controls, conversions. Text is what().
class Exception : public std::exception {
public:
    Exception() = default;
    explicit Exception(std::string text) : text(std::move(text)) {}
    const char* what() const noexcept override { return text.c_str(); }

private:
    std::string text;
};

class UnexpectedErrorException : public Exception {
public:
    UnexpectedErrorException() = default;
};

class FileBasedException : public Exception {
public:
    // `file` must be a string literal (the raise site's source file name).
    FileBasedException(std::string text, const char* file)
        : Exception(std::move(text)), file_(file) {}
    const char* file() const { return file_; }

private:
    const char* file_;
};

class InvalidArgumentException : public FileBasedException {
public:
    InvalidArgumentException(const char* argumentName, const char* file, int line)
        : FileBasedException("Invalid Argument", file), argumentName_(argumentName), line_(line) {}
    const char* argumentName() const { return argumentName_; }
    int line() const { return line_; }

private:
    const char* argumentName_;
    int line_;
};

namespace Xml {

class XmlErrorException : public Exception {
public:
    XmlErrorException(std::wstring source, std::int32_t line, std::int32_t column,
                      std::wstring reason)
        : Exception("Xml Error"), source_(std::move(source)), line_(line), column_(column),
          reason_(std::move(reason)) {}
    std::wstring source() const { return source_; }
    std::int32_t line() const { return line_; }
    std::int32_t column() const { return column_; }
    std::wstring reason() const { return reason_; }

private:
    std::wstring source_;
    std::int32_t line_;
    std::int32_t column_;
    std::wstring reason_;
};

class XmlParseErrorException : public XmlErrorException {
public:
    using XmlErrorException::XmlErrorException;
};

} // namespace Xml

namespace GUI {

class GUIErrorException : public Exception {
public:
    GUIErrorException() = default;
};

class UnsupportedAttributeException : public GUIErrorException {
public:
    explicit UnsupportedAttributeException(std::wstring attributeName)
        : attributeName_(std::move(attributeName)) {}
    const std::wstring& attributeName() const { return attributeName_; }

private:
    std::wstring attributeName_;
};

class MissingAttributeException : public GUIErrorException {
public:
    explicit MissingAttributeException(std::wstring attributeName)
        : attributeName_(std::move(attributeName)) {}
    const std::wstring& attributeName() const { return attributeName_; }

private:
    std::wstring attributeName_;
};

} // namespace GUI
} // namespace LTF

class TypeConversionErrorException : public LTF::Exception {
public:
    explicit TypeConversionErrorException(std::wstring message) : message(std::move(message)) {}
    virtual std::wstring Message() const { return message; }

private:
    std::wstring message;
};
