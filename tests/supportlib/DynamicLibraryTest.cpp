#include "support/DynamicLibrary.h"
#include "support/Text.h"
#include "support/VellmarException.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <cstring>
#include <ostream>
#include <string>

using Vellmar::DynamicLibrary;
namespace Win32 = Vellmar::Win32;

namespace {

// Binds one function of the strlen shape, as the library wrappers bind theirs.
class OneFunction : public DynamicLibrary {
public:
    OneFunction(const std::string& library, const char* name)
        : DynamicLibrary(Vellmar::Utf8ToWide(library)) {
        bind(function, name);
    }
    std::size_t (*function)(const char*) = nullptr;
};

enum class Outcome { Bound, NoLibrary, NoProcedure };

struct LoadCase {
    const char* label;
    std::string library; // "@" stands for a file in the test's folder that is not a library
    const char* procedure;
    Outcome outcome;
};

void PrintTo(const LoadCase& c, std::ostream* out) {
    *out << c.label;
}

class DynamicLibraryLoading : public ::testing::TestWithParam<LoadCase> {
protected:
    Vellmar::Testing::TempDir dir;
};

TEST_P(DynamicLibraryLoading, ThrowsNamingLibraryAndProcedure) {
    const LoadCase& c = GetParam();
    std::string library = c.library;
    if (library == "@")
        library = dir.Write("libnotreally.so.1", "plain text, no ELF header").string();
    try {
        OneFunction loaded(library, c.procedure);
        ASSERT_EQ(c.outcome, Outcome::Bound) << "loaded although it should have failed";
        EXPECT_EQ(loaded.LibraryName(), library);
        ASSERT_NE(loaded.function, nullptr);
        EXPECT_EQ(loaded.function("four"), 4u) << "the bound address is the function";
    } catch (const Win32::LoadProcError& e) {
        ASSERT_EQ(c.outcome, Outcome::NoProcedure) << e.Message();
        EXPECT_EQ(e.LibraryName(), library);
        EXPECT_EQ(e.ProcedureName(), c.procedure);
        EXPECT_EQ(e.Message().rfind(
                      "Failed to load library procedure: " + library + ", " + c.procedure, 0),
                  0u)
            << e.Message();
    } catch (const Win32::LinkageError& e) {
        ASSERT_EQ(c.outcome, Outcome::NoLibrary) << e.Message();
        EXPECT_EQ(e.LibraryName(), library);
        EXPECT_EQ(e.Message().rfind("Failed to load library: " + library, 0), 0u) << e.Message();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DynamicLibraryLoading,
    ::testing::Values(
        LoadCase{"BySoname", "libc.so.6", "strlen", Outcome::Bound},
        LoadCase{"MissingPath", "/nonexistent/libc.so.6", "strlen", Outcome::NoLibrary},
        LoadCase{"NotALibrary", "@", "strlen", Outcome::NoLibrary},
        LoadCase{"MissingSymbol", "libc.so.6", "vellmar_absent_symbol", Outcome::NoProcedure}),

    [](const auto& info) { return std::string(info.param.label); });

} // namespace
