#include "tests/support/TempDir.h"

#include "support/Text.h"
#include "support/UniqueName.h"
#include "support/VellmarException.h"
#include "tests/supportlib/Thrown.h"

#include <gmock/gmock.h>

#include <regex>

namespace fs = std::filesystem;

using namespace Vellmar;

namespace {

NameSource Sequence(std::vector<std::wstring> names) {
    return [names, next = std::size_t{0}]() mutable { return names.at(next++); };
}

} // namespace

TEST(UniqueName, UuidTextIsLowerCaseAndFresh) {
    const std::wregex form(L"[0-9a-f]{8}-[0-9a-f]{4}-[0-9a-f]{4}-[0-9a-f]{4}-[0-9a-f]{12}");
    const std::wstring first = NewUuidString();
    EXPECT_TRUE(std::regex_match(first, form)) << first;
    EXPECT_NE(first, NewUuidString());
}

class UniqueNameTest : public Vellmar::Testing::TempDirTest {};

TEST_F(UniqueNameTest, FailingOperationIsTriedThreeTimesThenPassesOn) {
    std::vector<std::wstring> paths;
    auto failing = [&](const std::wstring& path) {
        paths.push_back(path);
        throw IOException("attempt " + std::to_string(paths.size()));
    };
    EXPECT_EQ(Vellmar::Testing::ThrownMessage<IOException>(
                  [&] { TryWithUniqueName(failing, dir.Wide(), L".rar"); }),
              "attempt 3");
    ASSERT_EQ(paths.size(), 3u);
    EXPECT_NE(paths[0], paths[1]);
    EXPECT_THAT(paths[0],
                testing::AllOf(testing::StartsWith(dir.Wide() + L"/"), testing::EndsWith(L".rar")));
}

TEST_F(UniqueNameTest, TakenNamesAreSkippedAndTheUsedPathReturned) {
    dir.Write("taken", "");
    int calls = 0;
    const std::wstring used = TryWithUniqueName(
        [&](const std::wstring& path) {
            if (++calls == 1)
                throw std::runtime_error("first fails");
            fs::create_directory(Vellmar::WideToUtf8(path));
        },
        dir.Wide(), L"", Sequence({L"taken", L"b", L"c"}));
    EXPECT_EQ(calls, 2);
    EXPECT_EQ(used, dir.Wide("c"));
    EXPECT_TRUE(fs::is_directory(dir / "c"));
}

TEST_F(UniqueNameTest, BrokenOrExhaustedNameSourcesThrowInsteadOfLooping) {
    for (const char* taken : {"x", "y", "z"})
        dir.Write(taken, "");
    const std::vector<std::vector<std::wstring>> broken{{L"a", L"a", L"a"}, {L""}};
    auto failing = [](const std::wstring&) { throw std::runtime_error("fails"); };
    for (const auto& names : broken) {
        try {
            TryWithUniqueName(failing, dir.Wide(), L"", Sequence(names));
            ADD_FAILURE() << "no exception";
        } catch (const std::runtime_error& e) {
            EXPECT_NE(std::string(e.what()).find("name source is broken"), std::string::npos);
        }
    }
    int calls = 0;
    auto count = [&](const std::wstring&) { ++calls; };
    EXPECT_THROW(TryWithUniqueName(count, dir.Wide(), L"", Sequence({L"x", L"y", L"z"})),
                 Win32::Win32Exception);
    EXPECT_EQ(calls, 0);
}
