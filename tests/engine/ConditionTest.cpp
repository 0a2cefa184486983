#include "tests/engine/EngineFixture.h"

#include "platform/RegistryStore.h"
#include "support/Text.h"

#include <functional>

using Vellmar::Platform::RegistryRoot;
using Vellmar::Platform::RegistryStore;
using Vellmar::Platform::RegistryValue;

namespace {

const std::wstring kTwoWay = L"<true action='page' value='T'/><false action='page' value='F'/>";

std::wstring Cases(std::initializer_list<const wchar_t*> values) {
    std::wstring children;
    for (const wchar_t* value : values)
        children += std::wstring(L"<case casevalue='") + value + L"' action='page' value='" +
                    value + L"'/>";
    return children;
}

using SetUp = std::function<void(EngineFixture&)>;

struct Case {
    const wchar_t* type;
    std::string name;
    // The attributes of a condition element named "c", then optionally '>' and its children
    // (else the true/false pair).
    std::wstring attributes;
    SetUp setUp;
    const wchar_t* expected; // the one page that ran; nullptr: none
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

SetUp Args(const wchar_t* text) {
    return [text](EngineFixture& f) { f.context.argumentString = text; };
}

SetUp Lang(const wchar_t* selected, const wchar_t* requested) {
    return [=](EngineFixture& f) {
        f.context.selectedLanguage = selected;
        f.context.requestedLanguage = requested;
    };
}

std::wstring Compare(const wchar_t* left, const wchar_t* right) {
    return std::wstring(L"lvalue='") + left + L"' rvalue='" + right +
           L"'><less action='page' value='less'/><equal action='page' value='equal'/>"
           L"<greater action='page' value='greater'/>";
}

std::vector<Case> AllCases() {
    const std::wstring lang = L"value='/lang' delimiter='='>" + Cases({L"fr", L"de"});
    const std::wstring languages = L">" + Cases({L"fr", L"en"});
    const std::wstring ini = L"file='settings.ini' section='Game' ";
    const std::wstring reg = L"path='Software\\Test' root='hkcu' ";
    const std::wstring regUpper = L"path='Software\\Test' root='HKCU' ";
    return {
        {L"commandline", "CaseListPicksTheMatch", lang, Args(L"/log /lang=de"), L"de"},
        {L"commandline", "CaseListFirstMatchOnly", lang, Args(L"/lang=fr /lang=de"), L"fr"},
        {L"CommandLine", "PlainSubstring", L"value='/x'", Args(L"a /xy"), L"T"},
        {L"commandline", "PlainIsCaseSensitive", L"value='/x'", Args(L"/X"), L"F"},
        {L"commandline", "EmptyValueIsFalse", L"value=''", Args(L"anything"), L"F"},
        {L"fileexist", "AsWrittenWithVariableAndEnvironment", L"file='${EXE_DIR}/%TEST_FILE%'",
         [](EngineFixture&) { ::setenv("TEST_FILE", "present.txt", 1); }, L"T"},
        {L"fileexist", "RootJoinedByConcatenation", L"file='/present.txt'", nullptr, L"T"},
        {L"fileexist", "ConcatenationAddsNoSeparator", L"file='present.txt'",
         [](EngineFixture&) { ASSERT_EQ(::chdir("/"), 0); }, L"F"},
        {L"fileexist", "RegistryFolderGetsABackslash", regUpper + L"file='setup.EXE' key='Game'",
         nullptr, L"T"},
        {L"fileexist", "MissingRegistryValueIsFalse", reg + L"file='/present.txt' key='Nothing'",
         nullptr, L"F"},
        {L"floatcompare", "UnreadableIsZero", Compare(L"abc", L"0"), nullptr, L"equal"},
        {L"floatcompare", "Less", Compare(L"-2", L"1e1"), nullptr, L"less"},
        {L"floatcompare", "VariableGreater", Compare(L"${NUMBER}", L"2.5"),
         [](EngineFixture& f) { f.context.strings.SetVariable(L"NUMBER", L"3"); }, L"greater"},
        {L"floatcompare", "MissingBranchRunsNothing",
         L"lvalue='1' rvalue='2'><equal action='page' value='e'/>", nullptr, nullptr},
        {L"ini", "EqualValue", ini + L"entry='Lang' value='fr'", nullptr, L"T"},
        {L"ini", "OtherValue", ini + L"entry='Lang' value='de'", nullptr, L"F"},
        {L"ini", "CaseMatch", ini + L"entry='Lang'>" + Cases({L"de", L"fr"}), nullptr, L"fr"},
        {L"ini", "MissingEntryMatchesEmptyCase", ini + L"entry='None'>" + Cases({L"fr", L""}),
         nullptr, L""},
        {L"ini", "MissingFileRunsNeither",
         L"file='absent.ini' section='Game' entry='Lang' value='fr'", nullptr, nullptr},
        {L"ini", "EmptySectionRunsNeither",
         L"file='settings.ini' section='' entry='Lang' value='fr'", nullptr, nullptr},
        {L"regsz", "Equal", regUpper + L"key='name' value='abc'", nullptr, L"T"},
        {L"regsz", "DwordIsUnreadable", reg + L"key='Number'>" + Cases({L"7", L""}), nullptr, L""},
        {L"regsz", "MissingValueRunsFalse", reg + L"key='None' value='abc'", nullptr, L"F"},
        {L"language", "ValueMatchesSelected", L"value='fr'", Lang(L"fr", L"de"), L"T"},
        {L"language", "ValueDiffers", L"value='de'", Lang(L"fr", L"de"), L"F"},
        {L"language", "CaseMatchSelected", languages, Lang(L"fr", L"en"), L"fr"},
        {L"language", "FallsBackToRequested", languages, Lang(L"it", L"en"), L"en"},
        {L"language", "FallsBackToDefault", L"default='fr'" + languages, Lang(L"it", L"en"), L"fr"},
        {L"language", "NoFallbackMatch", L"default='pl'" + languages, Lang(L"it", L"en"), nullptr},
        {L"language", "GameFolderFromRegistry", reg + L"value='de' key='Game'", Lang(L"fr", L"fr"),
         L"T"},
    };
}

class ConditionTest : public EngineFixture, public ::testing::WithParamInterface<Case> {};

TEST_P(ConditionTest, RunsTheExpectedChild) {
    const Case& c = GetParam();
    Prepare(*this);
    const bool children = c.attributes.find(L'>') != std::wstring::npos;
    Start(std::wstring(L"<conditions><condition name='c' type='") + c.type + L"' " + c.attributes +
          (children ? L"" : L">" + kTwoWay) + L"</condition></conditions>");
    if (c.setUp)
        c.setUp(*this);
    engine->RunCondition(L"c");
    EXPECT_EQ(Pages(), c.expected ? Names{c.expected} : Names{});
    ::unsetenv("TEST_FILE");
}

} // namespace

INSTANTIATE_TEST_SUITE_P(Engine, ConditionTest, ::testing::ValuesIn(AllCases()),
                         [](const auto& info) {
                             return Vellmar::WideToUtf8(info.param.type) + "_" + info.param.name;
                         });

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
