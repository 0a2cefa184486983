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
    std::string name;
    std::wstring condition; // a condition element named "c"
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

// <condition name='c' type='TYPE' ATTRIBUTES>CHILDREN</condition>
std::wstring C(const std::wstring& type, const std::wstring& attributes,
               const std::wstring& children = kTwoWay) {
    return L"<condition name='c' type='" + type + L"' " + attributes + L">" + children +
           L"</condition>";
}

std::wstring Compare(const wchar_t* left, const wchar_t* right) {
    return C(L"floatcompare", std::wstring(L"lvalue='") + left + L"' rvalue='" + right + L"'",
             L"<less action='page' value='less'/><equal action='page' value='equal'/>"
             L"<greater action='page' value='greater'/>");
}

std::vector<Case> AllCases() {
    const std::wstring lang =
        C(L"commandline", L"value='/lang' delimiter='='", Cases({L"fr", L"de"}));
    const std::wstring languages = Cases({L"fr", L"en"});
    const std::wstring ini = L"file='settings.ini' section='Game' ";
    const std::wstring reg = L"path='Software\\Test' root='hkcu' ";
    const std::wstring regUpper = L"path='Software\\Test' root='HKCU' ";
    return {
        {"CommandLine_CaseListPicksTheMatch", lang, Args(L"/log /lang=de"), L"de"},
        {"CommandLine_CaseListFirstMatchOnly", lang, Args(L"/lang=fr /lang=de"), L"fr"},
        {"CommandLine_PlainSubstring", C(L"CommandLine", L"value='/x'"), Args(L"a /xy"), L"T"},
        {"CommandLine_PlainIsCaseSensitive", C(L"commandline", L"value='/x'"), Args(L"/X"), L"F"},
        {"CommandLine_EmptyValueIsFalse", C(L"commandline", L"value=''"), Args(L"any"), L"F"},
        {"FileExist_AsWrittenWithVariable", C(L"fileexist", L"file='${EXE_DIR}/present.txt'"),
         nullptr, L"T"},
        {"FileExist_RootJoinedByConcatenation", C(L"fileexist", L"file='/present.txt'"), nullptr,
         L"T"},
        {"FileExist_ConcatenationAddsNoSeparator", C(L"fileexist", L"file='present.txt'"),
         [](EngineFixture&) { ASSERT_EQ(::chdir("/"), 0); }, L"F"},
        {"FileExist_WindowsStyleNameIgnoresCase", C(L"fileexist", L"file='\\PRESENT.TXT'"), nullptr,
         L"T"},
        {"FileExist_EnvironmentExpanded", C(L"fileexist", L"file='%ENGINE_TEST_FILE%'"),
         [](EngineFixture& f) { ::setenv("ENGINE_TEST_FILE", (f.dir / "present.txt").c_str(), 1); },
         L"T"},
        {"FileExist_RegistryFolderGetsABackslash",
         C(L"fileexist", regUpper + L"file='setup.EXE' key='Game'"), nullptr, L"T"},
        {"FileExist_MissingRegistryValueIsFalse",
         C(L"fileexist", reg + L"file='/present.txt' key='Nothing'"), nullptr, L"F"},
        {"FloatCompare_UnreadableIsZero", Compare(L"abc", L"0"), nullptr, L"equal"},
        {"FloatCompare_Less", Compare(L"-2", L"1e1"), nullptr, L"less"},
        {"FloatCompare_VariableGreater", Compare(L"${NUMBER}", L"2.5"),
         [](EngineFixture& f) { f.context.strings.SetVariable(L"NUMBER", L"3"); }, L"greater"},
        {"FloatCompare_MissingBranchRunsNothing",
         C(L"floatcompare", L"lvalue='1' rvalue='2'", L"<equal action='page' value='e'/>"), nullptr,
         nullptr},
        {"Ini_EqualValue", C(L"ini", ini + L"entry='Lang' value='fr'"), nullptr, L"T"},
        {"Ini_OtherValue", C(L"ini", ini + L"entry='Lang' value='de'"), nullptr, L"F"},
        {"Ini_NamesIgnoreCase",
         C(L"ini", L"file='settings.ini' section='GAME' entry='lang' value='fr'"), nullptr, L"T"},
        {"Ini_CaseMatch", C(L"ini", ini + L"entry='Lang'", Cases({L"de", L"fr"})), nullptr, L"fr"},
        {"Ini_MissingEntryMatchesEmptyCase", C(L"ini", ini + L"entry='None'", Cases({L"fr", L""})),
         nullptr, L""},
        {"Ini_MissingFileRunsNeither",
         C(L"ini", L"file='absent.ini' section='Game' entry='Lang' value='fr'"), nullptr, nullptr},
        {"Ini_EmptySectionRunsNeither",
         C(L"ini", L"file='settings.ini' section='' entry='Lang' value='fr'"), nullptr, nullptr},
        {"RegSz_Equal", C(L"regsz", regUpper + L"key='name' value='abc'"), nullptr, L"T"},
        {"RegSz_DwordIsUnreadable", C(L"regsz", reg + L"key='Number'", Cases({L"7", L""})), nullptr,
         L""},
        {"RegSz_MissingValueRunsFalse", C(L"regsz", reg + L"key='None' value='abc'"), nullptr,
         L"F"},
        {"Language_ValueMatchesSelected", C(L"language", L"value='fr'"), Lang(L"fr", L"de"), L"T"},
        {"Language_ValueDiffers", C(L"language", L"value='de'"), Lang(L"fr", L"de"), L"F"},
        {"Language_CaseMatchSelected", C(L"language", L"", languages), Lang(L"fr", L"en"), L"fr"},
        {"Language_FallsBackToRequested", C(L"language", L"", languages), Lang(L"it", L"en"),
         L"en"},
        {"Language_FallsBackToDefault", C(L"language", L"default='fr'", languages),
         Lang(L"it", L"en"), L"fr"},
        {"Language_NoFallbackMatch", C(L"language", L"default='pl'", languages), Lang(L"it", L"en"),
         nullptr},
        {"Language_GameFolderFromRegistry", C(L"language", reg + L"value='de' key='Game'"),
         Lang(L"fr", L"fr"), L"T"},
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
    EXPECT_EQ(Pages(), c.expected ? Names{c.expected} : Names{});
    ::unsetenv("ENGINE_TEST_FILE");
}

} // namespace

INSTANTIATE_TEST_SUITE_P(Engine, ConditionTest, ::testing::ValuesIn(AllCases()),
                         [](const auto& info) { return info.param.name; });

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
