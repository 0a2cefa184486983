#include "support/DynamicLibrary.h"
#include "support/Text.h"
#include "support/VellmarException.h"
#include "tests/support/TempDir.h"

#include <gmock/gmock.h>

#include <string>

using ::testing::StartsWith;
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

TEST(DynamicLibrary, BindsOrThrowsNamingLibraryAndProcedure) {
    Vellmar::Testing::TempDir dir;
    enum class Outcome { Bound, NoLibrary, NoProcedure };
    const std::tuple<std::string, const char*, Outcome> cases[] = {
        {"libc.so.6", "strlen", Outcome::Bound},
        {"/nonexistent/libc.so.6", "strlen", Outcome::NoLibrary},
        {dir.Write("libnotreally.so.1", "plain text, no ELF header").string(), "strlen",
         Outcome::NoLibrary},
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

} // namespace
