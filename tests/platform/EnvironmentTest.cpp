#include "platform/Environment.h"
#include "support/Text.h"
#include "tests/platform/Scratch.h"

#include <gtest/gtest.h>

using Vellmar::Platform::Environment;

class EnvironmentTest : public ::testing::Test {
protected:
    ScopedEnv game{"VT_GAME", "/opt/game"};
    ScopedEnv nested{"VT_NESTED", "%VT_GAME%/bin"};
    ScopedEnv self{"VT_SELF", "x%VT_SELF%"};
    ScopedEnv doubling{"VT_DOUBLE", "%VT_DOUBLE%%VT_DOUBLE%"};
    ScopedEnv unicode{"VT_UNI", "Spi\xC3\xA9l"};
    ScopedEnv unset{"VT_UNSET", nullptr};
};

TEST_F(EnvironmentTest, ExpansionRules) {
    using U = Environment::Unknown;
    const struct {
        const wchar_t* text;
        const wchar_t* empty; // Unknown::Empty
        const wchar_t* keep;  // Unknown::Keep
    } cases[] = {
        {L"%VT_GAME%\\run.exe", L"/opt/game\\run.exe", L"/opt/game\\run.exe"},
        {L"%VT_GAME%+%VT_GAME%", L"/opt/game+/opt/game", L"/opt/game+/opt/game"},
        {L"%VT_NESTED%", L"/opt/game/bin", L"/opt/game/bin"},
        {L"%vt_game%", L"", L"%vt_game%"}, // names are case-sensitive here
        {L"%VT_UNSET%\\a", L"\\a", L"%VT_UNSET%\\a"},
        {L"%VT_UNSET%%VT_GAME%", L"/opt/game", L"%VT_UNSET%/opt/game"},
        {L"100%", L"100%", L"100%"},
        {L"a%%b", L"ab", L"ab"},
        {L"%VT_UNI%", L"Spi\u00e9l", L"Spi\u00e9l"},
        {L"no signs", L"no signs", L"no signs"},
        {L"", L"", L""},
    };
    for (const auto& c : cases) {
        const std::string label = Vellmar::WideToUtf8(c.text);
        EXPECT_EQ(Environment::ExpandPercentVariables(c.text, U::Empty), c.empty) << label;
        EXPECT_EQ(Environment::ExpandPercentVariables(c.text, U::Keep), c.keep) << label;
    }
}

TEST_F(EnvironmentTest, SelfReferenceEndsBounded) {
    for (const wchar_t* text : {L"%VT_SELF%", L"%VT_DOUBLE%"}) {
        const std::wstring out = Environment::ExpandPercentVariables(text);
        EXPECT_LE(out.size(), 2 * Environment::kMaxLength);
    }
    // Many distinct names still expand fully.
    std::wstring many;
    for (int i = 0; i < 100; ++i)
        many += L"%VT_GAME%;%VT_UNSET%;";
    EXPECT_EQ(
        Environment::ExpandPercentVariables(many, Environment::Unknown::Keep).find(L"%VT_GAME%"),
        std::wstring::npos);
}
