#include "support/LtfException.h"
#include "support/Text.h"
#include "support/VellmarException.h"
#include "tests/supportlib/Thrown.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>

using namespace Vellmar;

TEST(VellmarException, WhatIsFixedAndMessageCarriesText) {
    EXPECT_STREQ(RarException(13, 0).what(), "Unknown exception");
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

TEST(RarException, MessageNamesTheOperationAndTheError) {
    const std::tuple<int, int, const char*> cases[] = {
        {0, 11, "RAR open failed: Not enough memory to initialize data structures."},
        {0, 16, "RAR open failed: Unexpected error."},
        {1, 10, "RAR process file failed: Unexpected error."},
        {1, 19, "RAR process file failed: Write error."},
        {2, 11, "RAR read header failed: Unexpected error."},
        {3, 12, "An unknown error occurred while processing a RAR archive."}};
    for (const auto& [operation, code, text] : cases)
        EXPECT_EQ(RarException(code, operation).Message(), text) << operation << " " << code;
}

TEST(Win32Exception, ContextAloneWhenNoSystemText) {
    Win32::Win32Exception e("Rename failed", 0);
    EXPECT_EQ(e.Message(), "Rename failed");
    Win32::Win32Exception withText("Rename failed", EACCES);
    EXPECT_EQ(withText.Message(), "Rename failed\nPermission denied");
    EXPECT_EQ(withText.ErrorCode(), static_cast<std::uint32_t>(EACCES));
}

TEST(ThrowLastWin32Error, MapsErrnoToClass) {
    const auto tmp = std::filesystem::temp_directory_path();
    EXPECT_THROW(ThrowLastWin32Error("x", ENOENT, Utf8ToWide((tmp / "missing").string())),
                 FileNotFoundException);
    EXPECT_THROW(
        ThrowLastWin32Error("x", ENOENT, Utf8ToWide((tmp / "no-such-dir/missing").string())),
        PathNotFoundException);
    EXPECT_THROW(ThrowLastWin32Error("x", ENOTDIR, L""), PathNotFoundException);
    EXPECT_EQ(Vellmar::Testing::ThrownMessage<FileNotFoundException>(
                  [] { ThrowLastWin32Error("Rename failed", ENOENT, L""); }),
              "The system cannot find the file specified.");
    EXPECT_THROW(ThrowLastWin32Error("x", EACCES, L""), Win32::Win32Exception);
}
