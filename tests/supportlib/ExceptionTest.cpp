#include "support/LtfException.h"
#include "support/Text.h"
#include "support/VellmarException.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>

using namespace Vellmar;

TEST(VellmarException, WhatIsFixedAndMessageCarriesText) {
    const std::vector<std::unique_ptr<Exception>> all = [] {
        std::vector<std::unique_ptr<Exception>> v;
        v.push_back(std::make_unique<Exception>("x"));
        v.push_back(std::make_unique<ArgumentException>("arg", "bad"));
        v.push_back(std::make_unique<IOException>("io"));
        v.push_back(std::make_unique<FileNotFoundException>());
        v.push_back(std::make_unique<ConfigurationException>(2));
        v.push_back(std::make_unique<RarException>(13, 0));
        return v;
    }();
    for (const auto& e : all)
        EXPECT_STREQ(e->what(), "Unknown exception");
    EXPECT_EQ(Exception().Message(),
              "An error occurred but there are no details available about the error.");
    EXPECT_EQ(CRuntimeException(5, "LTF::IO::Find").Message(), "A C runtime error occurred.");
    EXPECT_EQ(ConfigurationException(1).Message(), "The application failed during configuration");
}

TEST(VellmarException, CopyClonesCauseWithItsDynamicClass) {
    FileNotFoundException cause;
    Exception outer("outer", &cause);
    Exception copy(outer);
    ASSERT_NE(copy.Inner(), nullptr);
    EXPECT_NE(copy.Inner(), outer.Inner());
    EXPECT_NE(dynamic_cast<const FileNotFoundException*>(copy.Inner()), nullptr);
}

TEST(VellmarException, RaiseThrowsExactDynamicClass) {
    std::unique_ptr<Exception> held = Win32::LoadProcError("libx.so", "RAROpenArchiveEx").Clone();
    try {
        held->Raise();
        FAIL();
    } catch (const Win32::LoadProcError& e) {
        EXPECT_EQ(e.LibraryName(), "libx.so");
        EXPECT_EQ(e.ProcedureName(), "RAROpenArchiveEx");
    }
}

struct RarCase {
    int operation;
    int code;
    const char* text;
};

class RarMessage : public ::testing::TestWithParam<RarCase> {};

TEST_P(RarMessage, AnswersFromTable) {
    const RarCase& c = GetParam();
    EXPECT_EQ(RarException(c.code, c.operation).Message(), c.text);
}

INSTANTIATE_TEST_SUITE_P(
    Table, RarMessage,
    ::testing::Values(RarCase{0, 11,
                              "RAR open failed: Not enough memory to initialize data structures."},
                      RarCase{0, 13, "RAR open failed: File is not a valid RAR archive."},
                      RarCase{0, 15, "RAR open failed: File open error."},
                      RarCase{0, 16, "RAR open failed: Unexpected error."},
                      RarCase{1, 10, "RAR process file failed: Unexpected error."},
                      RarCase{1, 12, "RAR process file failed: File CRC error."},
                      RarCase{1, 19, "RAR process file failed: Write error."},
                      RarCase{2, 12, "RAR read header failed: File header broken."},
                      RarCase{2, 11, "RAR read header failed: Unexpected error."},
                      RarCase{3, 12, "An unknown error occurred while processing a RAR archive."}));

TEST(Win32Exception, ContextAloneWhenNoSystemText) {
    Win32::Win32Exception e("Rename failed", 0);
    EXPECT_EQ(e.Message(), "Rename failed");
    Win32::Win32Exception withText("Rename failed", EACCES);
    EXPECT_EQ(withText.Message(), "Rename failed\nPermission denied");
    EXPECT_EQ(withText.ErrorCode(), static_cast<std::uint32_t>(EACCES));
}

TEST(Win32Exception, LinkageTexts) {
    errno = 0;
    EXPECT_EQ(Win32::LinkageError("libunrar.so").Message(), "Failed to load library: libunrar.so");
    errno = 0;
    EXPECT_EQ(Win32::LoadProcError("libunrar.so", "RARGetDllVersion").Message(),
              "Failed to load library procedure: libunrar.so, RARGetDllVersion");
}

TEST(ThrowLastWin32Error, MapsErrnoToClass) {
    const auto tmp = std::filesystem::temp_directory_path();
    EXPECT_THROW(ThrowLastWin32Error("x", ENOENT, Utf8ToWide((tmp / "missing").string())),
                 FileNotFoundException);
    EXPECT_THROW(
        ThrowLastWin32Error("x", ENOENT, Utf8ToWide((tmp / "no-such-dir/missing").string())),
        PathNotFoundException);
    EXPECT_THROW(ThrowLastWin32Error("x", ENOTDIR, L""), PathNotFoundException);
    try {
        ThrowLastWin32Error("Rename failed", ENOENT, L"");
    } catch (const FileNotFoundException& e) {
        EXPECT_EQ(e.Message(), "The system cannot find the file specified.");
        EXPECT_TRUE(e.Path().empty());
    }
    EXPECT_THROW(ThrowLastWin32Error("x", EACCES, L""), Win32::Win32Exception);
}

TEST(LtfException, Texts) {
    EXPECT_STREQ(LTF::Exception().what(), "");
    EXPECT_STREQ(LTF::InvalidArgumentException("pOwnerDocument", "MicrosoftXmlNodeList", 21).what(),
                 "Invalid Argument");
    LTF::FileBasedException f("t", "Source.cpp");
    EXPECT_STREQ(f.file(), "Source.cpp");
    LTF::Xml::XmlParseErrorException x(L"LibXmlParser", 3, 7, L"reason");
    EXPECT_STREQ(x.what(), "Xml Error");
    EXPECT_EQ(x.line(), 3);
    EXPECT_EQ(TypeConversionErrorException(L"m").Message(), L"m");
}
