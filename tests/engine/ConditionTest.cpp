#include "tests/engine/EngineFixture.h"

#include "platform/RegistryStore.h"
#include "support/Text.h"

#include <functional>
#include <string>
#include <vector>

using EngineTest::EngineFixture;
using Vellmar::Platform::RegistryRoot;
using Vellmar::Platform::RegistryStore;
using Vellmar::Platform::RegistryValue;
using Names = std::vector<std::wstring>;

namespace {

const std::wstring kTwoWay = L"<true action='page' value='T'/><false action='page' value='F'/>";

std::wstring Cases(std::initializer_list<const wchar_t*> values) {
    std::wstring children;
    for (const wchar_t* value : values)
        children += std::wstring(L"<case casevalue='") + value + L"' action='page' value='" +
                    value + L"'/>";
    return children;
}

struct Case {
    std::string name;
    std::wstring condition; // a condition element named "c"
    std::function<void(EngineFixture&)> setUp;
    Names expected;
};

// Outputs only the name in test listings.
void PrintTo(const Case& c, std::ostream* out) {
    *out << c.name;
}

void Prepare(EngineFixture& f) {
    f.dir.Write("present.txt", "x");
    f.dir.Write("game/Setup.exe", "x");
    f.dir.Write("settings.ini", "[Game]\r\nLang = fr\r\nEmpty=\r\n");
    f.dir.Write("game/dialog.tlk", std::string("TLK V3.0") + std::string("\x02\0\0\0", 4));
    RegistryStore store;
    store.WriteValue(RegistryRoot::CurrentUser, L"Software\\Test", L"Name",
                     RegistryValue::String(L"abc"));
    store.WriteValue(RegistryRoot::CurrentUser, L"Software\\Test", L"Number",
                     RegistryValue::Dword(7));
    store.WriteValue(RegistryRoot::CurrentUser, L"Software\\Test", L"Game",
                     RegistryValue::String(f.dir.Wide("game")));
}

std::function<void(EngineFixture&)> Arguments(const wchar_t* text) {
    return [text](EngineFixture& f) { f.context.argumentString = text; };
}

std::function<void(EngineFixture&)> Language(const wchar_t* selected, const wchar_t* requested) {
    return [=](EngineFixture& f) {
        f.context.selectedLanguage = selected;
        f.context.requestedLanguage = requested;
    };
}

std::wstring Condition(const std::wstring& attributes, const std::wstring& children = kTwoWay) {
    return L"<condition name='c' " + attributes + L">" + children + L"</condition>";
}

std::vector<Case> CommandLineCases() {
    const std::wstring lang =
        Condition(L"type='commandline' value='/lang' delimiter='='", Cases({L"fr", L"de"}));
    return {
        {"CaseListPicksTheMatch", lang, Arguments(L"/log /lang=de"), {L"de"}},
        {"CaseListFirstMatchOnly", lang, Arguments(L"/lang=fr /lang=de"), {L"fr"}},
        {"PlainSubstring",
         Condition(L"type='CommandLine' value='/x'"),
         Arguments(L"a /xy"),
         {L"T"}},
        {"PlainIsCaseSensitive",
         Condition(L"type='commandline' value='/x'"),
         Arguments(L"/X"),
         {L"F"}},
        {"EmptyValueIsFalse",
         Condition(L"type='commandline' value=''"),
         Arguments(L"anything"),
         {L"F"}},
    };
}

std::vector<Case> FileExistCases() {
    const auto file = [](const std::wstring& attributes) {
        return Condition(L"type='fileexist' " + attributes);
    };
    return {
        {"AsWrittenWithVariable", file(L"file='${EXE_DIR}/present.txt'"), nullptr, {L"T"}},
        {"RootJoinedByConcatenation", file(L"file='/present.txt'"), nullptr, {L"T"}},
        {"ConcatenationAddsNoSeparator",
         file(L"file='present.txt'"),
         [](EngineFixture&) { ASSERT_EQ(::chdir("/"), 0); },
         {L"F"}},
        {"WindowsStyleNameIgnoresCase", file(L"file='\\PRESENT.TXT'"), nullptr, {L"T"}},
        {"EnvironmentExpanded",
         file(L"file='%ENGINE_TEST_FILE%'"),
         [](EngineFixture& f) { ::setenv("ENGINE_TEST_FILE", (f.dir / "present.txt").c_str(), 1); },
         {L"T"}},
        {"RegistryFolderGetsABackslash",
         file(L"file='setup.EXE' root='HKCU' path='Software\\Test' key='Game'"),
         nullptr,
         {L"T"}},
        {"MissingRegistryValueIsFalse",
         file(L"file='/present.txt' root='hkcu' path='Software\\Test' key='Nothing'"),
         nullptr,
         {L"F"}},
    };
}

std::vector<Case> FloatCompareCases() {
    const auto compare = [](const wchar_t* left, const wchar_t* right) {
        return Condition(std::wstring(L"type='floatcompare' lvalue='") + left + L"' rvalue='" +
                             right + L"'",
                         L"<less action='page' value='less'/><equal action='page' value='equal'/>"
                         L"<greater action='page' value='greater'/>");
    };
    return {
        {"UnreadableIsZero", compare(L"abc", L"0"), nullptr, {L"equal"}},
        {"Less", compare(L"-2", L"1e1"), nullptr, {L"less"}},
        {"VariableGreater",
         compare(L"${NUMBER}", L"2.5"),
         [](EngineFixture& f) { f.context.strings.SetVariable(L"NUMBER", L"3"); },
         {L"greater"}},
        {"MissingBranchRunsNothing",
         Condition(L"type='floatcompare' lvalue='1' rvalue='2'",
                   L"<equal action='page' value='e'/>"),
         nullptr,
         {}},
    };
}

std::vector<Case> IniCases() {
    const auto ini = [](const std::wstring& attributes, const std::wstring& children = kTwoWay) {
        return Condition(L"type='ini' file='settings.ini' " + attributes, children);
    };
    return {
        {"EqualValue", ini(L"section='Game' entry='Lang' value='fr'"), nullptr, {L"T"}},
        {"OtherValue", ini(L"section='Game' entry='Lang' value='de'"), nullptr, {L"F"}},
        {"NamesIgnoreCase", ini(L"section='GAME' entry='lang' value='fr'"), nullptr, {L"T"}},
        {"CaseMatch", ini(L"section='Game' entry='Lang'", Cases({L"de", L"fr"})), nullptr, {L"fr"}},
        {"MissingEntryMatchesEmptyCase",
         ini(L"section='Game' entry='None'", Cases({L"fr", L""})),
         nullptr,
         {L""}},
        {"MissingFileRunsNeither",
         Condition(L"type='ini' file='absent.ini' section='Game' entry='Lang' value='fr'"),
         nullptr,
         {}},
        {"EmptySectionRunsNeither", ini(L"section='' entry='Lang' value='fr'"), nullptr, {}},
    };
}

std::vector<Case> RegSzCases() {
    const auto reg = [](const std::wstring& attributes, const std::wstring& children = kTwoWay) {
        return Condition(L"type='regsz' path='Software\\Test' " + attributes, children);
    };
    return {
        {"Equal", reg(L"root='HKCU' key='name' value='abc'"), nullptr, {L"T"}},
        {"DwordIsUnreadable", reg(L"root='hkcu' key='Number'", Cases({L"7", L""})), nullptr, {L""}},
        {"MissingValueRunsFalse", reg(L"root='hkcu' key='None' value='abc'"), nullptr, {L"F"}},
    };
}

std::vector<Case> LanguageCases() {
    const std::wstring match = Cases({L"fr", L"en"});
    return {
        {"ValueMatchesSelected",
         Condition(L"type='language' value='fr'"),
         Language(L"fr", L"de"),
         {L"T"}},
        {"ValueDiffers", Condition(L"type='language' value='de'"), Language(L"fr", L"de"), {L"F"}},
        {"CaseMatchSelected",
         Condition(L"type='language'", match),
         Language(L"fr", L"en"),
         {L"fr"}},
        {"FallsBackToRequested",
         Condition(L"type='language'", match),
         Language(L"it", L"en"),
         {L"en"}},
        {"FallsBackToDefault",
         Condition(L"type='language' default='fr'", match),
         Language(L"it", L"en"),
         {L"fr"}},
        {"NoFallbackMatch",
         Condition(L"type='language' default='pl'", match),
         Language(L"it", L"en"),
         {}},
        {"GameFolderFromRegistry",
         Condition(L"type='language' value='de' root='hkcu' path='Software\\Test' key='Game'"),
         Language(L"fr", L"fr"),
         {L"T"}},
    };
}

class ConditionTest : public EngineFixture, public ::testing::WithParamInterface<Case> {};

TEST_P(ConditionTest, RunsTheExpectedChild) {
    const Case& c = GetParam();
    Prepare(*this);
    Start(L"<conditions>" + c.condition + L"</conditions>");
    if (c.setUp)
        c.setUp(*this);
    engine->RunCondition(L"c");
    EXPECT_EQ(Pages(), c.expected);
    ::unsetenv("ENGINE_TEST_FILE");
}

std::string CaseName(const ::testing::TestParamInfo<Case>& info) {
    return info.param.name;
}

} // namespace

INSTANTIATE_TEST_SUITE_P(CommandLine, ConditionTest, ::testing::ValuesIn(CommandLineCases()),
                         CaseName);
INSTANTIATE_TEST_SUITE_P(FileExist, ConditionTest, ::testing::ValuesIn(FileExistCases()), CaseName);
INSTANTIATE_TEST_SUITE_P(FloatCompare, ConditionTest, ::testing::ValuesIn(FloatCompareCases()),
                         CaseName);
INSTANTIATE_TEST_SUITE_P(Ini, ConditionTest, ::testing::ValuesIn(IniCases()), CaseName);
INSTANTIATE_TEST_SUITE_P(RegSz, ConditionTest, ::testing::ValuesIn(RegSzCases()), CaseName);
INSTANTIATE_TEST_SUITE_P(Language, ConditionTest, ::testing::ValuesIn(LanguageCases()), CaseName);

TEST_F(EngineFixture, ConditionNamesMatchExactlyAndTheMatchingCaseDecides) {
    context.argumentString = L"/go";
    Start(L"<conditions><Condition name='C' type='COMMANDLINE' value='/go' delimiter=''>"
          L"<TRUE action='actionqueue' value='q'/></Condition></conditions>"
          L"<actionqueues><actionqueue name='q'><action action='page' value='queued'/>"
          L"</actionqueue></actionqueues>");
    engine->RunCondition(L"c");
    EXPECT_TRUE(Pages().empty());
    engine->RunCondition(L"C");
    EXPECT_EQ(Pages(), (Names{L"queued"}));
}
