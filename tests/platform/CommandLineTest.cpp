#include "platform/CommandLine.h"

#include <gtest/gtest.h>

using Vellmar::Platform::JoinCommandLine;
using Vellmar::Platform::SplitCommandLine;
using Args = std::vector<std::wstring>;

namespace {

struct SplitCase {
    const wchar_t* text;
    Args expected;
};

class Split : public ::testing::TestWithParam<SplitCase> {};

TEST_P(Split, FollowsWindowsRules) {
    EXPECT_EQ(SplitCommandLine(GetParam().text), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Split,
    ::testing::Values(
        SplitCase{L"", {}}, SplitCase{L" \t ", {}}, SplitCase{L"a  b\tc ", {L"a", L"b", L"c"}},
        SplitCase{L"\"a b\" c", {L"a b", L"c"}}, SplitCase{L"x\"a b\"y", {L"xa by"}},
        SplitCase{LR"(C:\dir\file)", {LR"(C:\dir\file)"}}, SplitCase{LR"(a\"b)", {L"a\"b"}},
        SplitCase{LR"(a\\"b c")", {LR"(a\b c)"}}, SplitCase{LR"(a\\\"b)", {LR"(a\"b)"}},
        SplitCase{LR"("C:\dir\\")", {LR"(C:\dir\)"}},
        SplitCase{LR"("C:\dir\" x)", {LR"(C:\dir" x)"}}, SplitCase{L"\"\"", {L""}},
        SplitCase{L"\"\" x \"\"", {L"", L"x", L""}}, SplitCase{L"\"a\"\"b\"", {L"a\"b"}},
        SplitCase{L"\"a\"\"b c\"", {L"a\"b", L"c"}}, SplitCase{L"\"\"\"a\"\"\"", {L"\"a\""}},
        SplitCase{L"\"open a b", {L"open a b"}},
        SplitCase{L"\u00e9 \"\u00fc x\"", {L"\u00e9", L"\u00fc x"}}));

TEST(Join, SplitsBackToTheSameArguments) {
    const std::vector<Args> cases{
        {},
        {L""},
        {L"plain", L"with space", L"tab\there"},
        {L"quote\"inside", L"\"", L"\"\"", L"a\"\"b c"},
        {LR"(C:\Program Files\)", LR"(\\server\share\)", LR"(\")", LR"(x\\\")"},
        {L"\u00e9t\u00e9", L"", L"-dash"},
    };
    for (const Args& argv : cases)
        EXPECT_EQ(SplitCommandLine(JoinCommandLine(argv)), argv) << JoinCommandLine(argv).size();
}

} // namespace
