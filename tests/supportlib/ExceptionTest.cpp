#include "support/DynamicLibrary.h"
#include "support/Text.h"
#include "support/VellmarException.h"
#include "tests/supportlib/Thrown.h"

#include <gmock/gmock.h>

#include <cerrno>
#include <string>

using namespace Vellmar;
using ::testing::StartsWith;
using Vellmar::Testing::ThrownMessage;

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
    EXPECT_THAT(ThrownMessage<Win32::LoadProcError>([&] { held->Raise(); }),
                StartsWith("Failed to load library procedure: libx.so, RAROpenArchiveEx"));
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

// Which errno gives which class is proven through Rename, Directory::Create and Delete.
TEST(Win32Exception, ContextAloneWhenNoSystemText) {
    EXPECT_EQ(Win32::Win32Exception("Rename failed", 0).Message(), "Rename failed");
    const Win32::Win32Exception withText("Rename failed", EACCES);
    EXPECT_EQ(withText.Message(), "Rename failed\nPermission denied");
    EXPECT_EQ(withText.ErrorCode(), static_cast<std::uint32_t>(EACCES));
    EXPECT_EQ(ThrownMessage<FileNotFoundException>(
                  [] { ThrowLastWin32Error("Rename failed", ENOENT, L""); }),
              "The system cannot find the file specified.");
}

// Binds one function of the strlen shape, as the library wrappers bind theirs.
class OneFunction : public DynamicLibrary {
public:
    OneFunction(const std::string& library, const char* name)
        : DynamicLibrary(Vellmar::Utf8ToWide(library)) {
        bind(function, name);
    }
    std::size_t (*function)(const char*) = nullptr;
};

TEST(DynamicLibrary, BindsOrThrowsNamingLibraryAndProcedure) {
    enum class Outcome { Bound, NoLibrary, NoProcedure };
    const std::tuple<std::string, const char*, Outcome> cases[] = {
        {"libc.so.6", "strlen", Outcome::Bound},
        {"/nonexistent/libc.so.6", "strlen", Outcome::NoLibrary},
        {"libc.so.6", "vellmar_absent_symbol", Outcome::NoProcedure}};
    for (const auto& [library, procedure, outcome] : cases) {
        SCOPED_TRACE(library + " " + procedure);
        try {
            OneFunction loaded(library, procedure);
            EXPECT_EQ(outcome, Outcome::Bound) << "loaded although it should have failed";
            EXPECT_EQ(loaded.LibraryName(), library);
            ASSERT_NE(loaded.function, nullptr);
            EXPECT_EQ(loaded.function("four"), 4u) << "the bound address is the function";
        } catch (const Win32::LoadProcError& e) {
            EXPECT_EQ(outcome, Outcome::NoProcedure) << e.Message();
            EXPECT_EQ(e.LibraryName(), library);
            EXPECT_EQ(e.ProcedureName(), procedure);
            EXPECT_THAT(e.Message(), StartsWith("Failed to load library procedure: " + library +
                                                ", " + procedure));
        } catch (const Win32::LinkageError& e) {
            EXPECT_EQ(outcome, Outcome::NoLibrary) << e.Message();
            EXPECT_EQ(e.LibraryName(), library);
            EXPECT_THAT(e.Message(), StartsWith("Failed to load library: " + library));
        }
    }
}
