#pragma once

#include <cstdint>
#include <exception>
#include <memory>
#include <string>

namespace Vellmar {

// Root of the support-library family. The text is read with Message(); what() is fixed.
class Exception : public std::exception {
public:
    Exception();
    explicit Exception(std::string message);
    Exception(std::string message, const Exception* cause);
    Exception(const Exception& other);
    Exception& operator=(const Exception& other);
    ~Exception() override;

    const char* what() const noexcept override;
    virtual std::unique_ptr<Exception> Clone() const;
    virtual const std::string& Message() const;
    [[noreturn]] virtual void Raise() const;

    const Exception* Inner() const { return inner.get(); }

protected:
    // RarException takes over a cause that is already a private copy.
    Exception(std::string message, std::unique_ptr<Exception> cause);

private:
    std::string message;
    std::unique_ptr<Exception> inner;
};

#define VELLMAR_EXCEPTION_COMMON(Class)                                                            \
    std::unique_ptr<::Vellmar::Exception> Clone() const override {                                 \
        return std::make_unique<Class>(*this);                                                     \
    }                                                                                              \
    [[noreturn]] void Raise() const override {                                                     \
        throw Class(*this);                                                                        \
    }

class ArgumentException : public Exception {
public:
    ArgumentException(std::string argumentName, std::string message);
    VELLMAR_EXCEPTION_COMMON(ArgumentException)
    const std::string& ArgumentName() const { return argumentName; }

private:
    std::string argumentName;
};

class CRuntimeException : public Exception {
public:
    CRuntimeException(int errorNumber, std::string location);
    VELLMAR_EXCEPTION_COMMON(CRuntimeException)
    int ErrorNumber() const { return errorNumber; }
    const std::string& Location() const { return location; }

private:
    int errorNumber;
    std::string location;
};

class IOException : public Exception {
public:
    explicit IOException(std::string message);
    VELLMAR_EXCEPTION_COMMON(IOException)
};

class FileNotFoundException : public IOException {
public:
    FileNotFoundException();
    VELLMAR_EXCEPTION_COMMON(FileNotFoundException)
    const std::wstring& Path() const { return path; }

private:
    std::wstring path;
};

class PathNotFoundException : public IOException {
public:
    PathNotFoundException();
    VELLMAR_EXCEPTION_COMMON(PathNotFoundException)
    const std::wstring& Path() const { return path; }

private:
    std::wstring path;
};

class InvalidOperationException : public Exception {
public:
    explicit InvalidOperationException(std::string message);
    VELLMAR_EXCEPTION_COMMON(InvalidOperationException)
};

namespace Win32 {

// The "last error" on Linux is errno: the code and its strerror text are taken at construction.
class Win32Exception : public Exception {
public:
    explicit Win32Exception(const std::string& context);
    Win32Exception(const std::string& context, int errorNumber);
    VELLMAR_EXCEPTION_COMMON(Win32Exception)
    std::uint32_t ErrorCode() const { return errorCode; }

private:
    std::uint32_t errorCode;
};

class LinkageError : public Win32Exception {
public:
    explicit LinkageError(std::string libraryName);
    VELLMAR_EXCEPTION_COMMON(LinkageError)
    const std::string& LibraryName() const { return libraryName; }

protected:
    LinkageError(const std::string& context, std::string libraryName);

private:
    std::string libraryName;
};

class LoadProcError : public LinkageError {
public:
    LoadProcError(std::string libraryName, std::string procedureName);
    VELLMAR_EXCEPTION_COMMON(LoadProcError)
    const std::string& ProcedureName() const { return procedureName; }

private:
    std::string procedureName;
};

} // namespace Win32

namespace Diagnostics {

class LogException : public Exception {
public:
    explicit LogException(std::string message);
    VELLMAR_EXCEPTION_COMMON(LogException)
};

} // namespace Diagnostics

// Throws the class that matches errno: ENOENT is FileNotFoundException when the parent folder
// of `path` exists (or no path is known), PathNotFoundException when it does not; ENOTDIR is
// PathNotFoundException; anything else Win32Exception(context).
[[noreturn]] void ThrowLastWin32Error(const std::string& context, const std::wstring& path = {});
[[noreturn]] void ThrowLastWin32Error(const std::string& context, int errorNumber,
                                      const std::wstring& path);

[[noreturn]] void ThrowCRuntimeError(const std::string& location);

// The text of any exception for a log line: Message() and each cause's, "; "-separated, for
// this family; what() for the others.
std::string DescribeException(const std::exception& error);

} // namespace Vellmar

class ConfigurationException : public Vellmar::Exception {
public:
    explicit ConfigurationException(int step);
    VELLMAR_EXCEPTION_COMMON(ConfigurationException)
    int Step() const { return step; }

private:
    int step;
};

class RarException : public Vellmar::Exception {
public:
    RarException(int resultCode, int operation);
    RarException(int resultCode, int operation, std::unique_ptr<Vellmar::Exception> cause);
    VELLMAR_EXCEPTION_COMMON(RarException)
    const std::string& Message() const override;
    int Operation() const { return operation; }
    int ResultCode() const { return resultCode; }

private:
    int operation;
    int resultCode;
};
