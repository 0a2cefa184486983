#include "tests/engine/EngineFixture.h"

#include "engine/NamedMutex.h"
#include "platform/ProfileFile.h"
#include "platform/RegistryStore.h"
#include "tests/platform/PeBuilder.h"

#include <cstdlib>
#include <filesystem>

namespace fs = std::filesystem;
using Vellmar::Platform::RegistryRoot;
using Vellmar::Platform::RegistryStore;

class ActionTest : public EngineFixture {
protected:
    void SetUp() override { Start(L""); }
    void Update(const std::wstring& type, const std::wstring& attributes) {
        Run(L"<action action='update' updatetype='" + type + L"' " + attributes + L"/>");
    }
    std::wstring Registry(const wchar_t* name) const {
        return RegistryStore().ReadRegistryString(RegistryRoot::CurrentUser, L"Software\\Out",
                                                  name);
    }
};

TEST_F(ActionTest, CreateDirMakesEveryMissingLevel) {
    fs::create_directories(dir / "one");
    context.strings.SetVariable(L"WHERE", dir.Wide("one") + L"\\Two/${LEAF}");
    context.strings.SetVariable(L"LEAF", L"three");
    Run(L"<action action='createdir' value='WHERE'/>");
    EXPECT_TRUE(fs::is_directory(dir / "one/Two/three"));
    // Relative to the current folder, with an environment variable.
    ::setenv("ENGINE_TEST_SUB", "env", 1);
    context.strings.SetVariable(L"REL", L"rel/%ENGINE_TEST_SUB%/x  ");
    Run(L"<action action='createdir' value='REL'/>");
    EXPECT_TRUE(fs::is_directory(dir / "rel/env/x"));
    ::unsetenv("ENGINE_TEST_SUB");
    // An unknown key looks up as nothing and creates nothing.
    Run(L"<action action='createdir' value='NO_SUCH_KEY'/>");
}

TEST_F(ActionTest, CreateShortcutAndCreateUrlWriteTheirEntries) {
    const std::string odd = "Odd 100% \"q\" $HOME \xc3\xbc";
    dir.Write(odd + "/Game.sh", "#!/bin/sh\n");
    fs::permissions(dir / (odd + "/Game.sh"), fs::perms::owner_all);
    context.strings.SetVariable(L"TARGET", dir.Wide(odd) + L"\\Game.sh");
    context.strings.SetVariable(L"LINK", dir.Wide() + L"\\Start Game.lnk");
    Run(L"<action action='createshortcut' value='LINK' file='TARGET'/>");
    // The target arrived expanded, absolute and with '/' separators.
    EXPECT_NE(dir.Read("Start Game.desktop").find("\nPath=" + (dir / odd).string() + "\n"),
              std::string::npos);

    context.strings.SetVariable(L"ADDRESS", L"https://example.org/?a=1&b=${X}");
    context.strings.SetVariable(L"X", L"2");
    context.strings.SetVariable(L"FILE", dir.Wide("Site.url"));
    Run(L"<action action='createurl' value='ADDRESS' file='FILE'/>");
    EXPECT_NE(dir.Read("Site.url").find("[InternetShortcut]"), std::string::npos);
    EXPECT_EQ(
        Vellmar::Platform::ProfileFile(dir.Wide("site.URL")).GetString(L"internetshortcut", L"url"),
        L"https://example.org/?a=1&b=2");
}

TEST_F(ActionTest, EnableButtonFollowsTheExactRulesSetButtonAttributePassesTheElement) {
    // value, refresh: disabled, refreshed
    const std::tuple<const wchar_t*, const wchar_t*, bool, bool> cases[] = {
        {L"True", L"", false, true},
        {L"yes", L"", true, true},
        {L"TRUE", L"false", false, false},
        {L"", L"FALSE", true, true}};
    for (const auto& [value, refresh, disabled, refreshed] : cases) {
        host.calls.clear();
        Run(std::wstring(L"<action action='enablebutton' button='Play' value='") + value +
            L"' refresh='" + refresh + L"'/>");
        EXPECT_EQ(engine->IsButtonDisabled(L"Play"), disabled) << value << "/" << refresh;
        EXPECT_EQ(Called(L"RefreshButtons()"), refreshed) << value << "/" << refresh;
    }
    EXPECT_FALSE(engine->IsButtonDisabled(L"play")) << "button names are exact";

    // setbuttonattribute hands the whole element over.
    host.calls.clear();
    Run(L"<action action='setbuttonattribute' button='Play' attribute='text' normal='Go'/>");
    EXPECT_EQ(host.calls, (Names{L"SetButtonAttribute(Play)"}));
    ASSERT_EQ(host.buttonAttributeXml.size(), 1u);
    EXPECT_NE(host.buttonAttributeXml[0].find(L"normal=\"Go\""), std::wstring::npos);
}

TEST_F(ActionTest, SetMutexTwiceIsRefusedAndStops) {
    Run(L"<action action='setmutex'/>");
    EXPECT_TRUE(engine->HoldsMutex());
    EXPECT_FALSE(NamedMutex(ActionEngine::kDefaultMutexName).IsCreated());
    EXPECT_FALSE(engine->IsStopped());
    Run(L"<action action='setmutex' value='Other'/>");
    EXPECT_EQ(host.messageBoxes, (Boxes{{L"Error", L"Trying to _set_ two mutexes is not valid!"}}));
    EXPECT_TRUE(engine->IsStopped());
    EXPECT_TRUE(NamedMutex(L"Other").IsCreated());
    engine.reset();
    EXPECT_TRUE(NamedMutex(ActionEngine::kDefaultMutexName).IsCreated()) << "released at the end";
}

TEST_F(ActionTest, MuteTogglesAndPassesTheBitmapsOfTheNewState) {
    const std::wstring mute =
        L"<action action='system' value='mute'><bitmap normal='n' normalmute='nm' "
        L"duplicate='false' duplicatemute='true' over='o' overmute='om' pushed='p' "
        L"pushedmute='pm' dissabled='d' dissabledmute='dm'/></action>";
    Run(mute);
    Run(mute);
    ASSERT_EQ(host.muteUpdates.size(), 2u);
    const auto bitmaps = [](const MuteBitmaps& b) {
        return std::make_tuple(b.normal, b.duplicate, b.over, b.pushed, b.disabled);
    };
    EXPECT_EQ(bitmaps(host.muteUpdates[0]), std::make_tuple(L"nm", true, L"om", L"pm", L"dm"));
    EXPECT_EQ(bitmaps(host.muteUpdates[1]), std::make_tuple(L"n", false, L"o", L"p", L"d"));
    EXPECT_FALSE(engine->IsMuted());
    Run(L"<action action='system' value='mute'/>");
    EXPECT_TRUE(engine->IsMuted());
    EXPECT_EQ(host.muteUpdates.size(), 2u) << "no bitmap child, no update";
}

TEST_F(ActionTest, WindowActions) {
    Run(L"<action action='system' value='MINIMIZE'/>");
    Run(L"<action action='system' value='other'/>");
    Run(L"<action action='page' value='Next'/>");
    dir.Write("Font.ttf", "not really a font");
    Run(L"<action action='loadfont' file='font.TTF'/>");
    Run(L"<action action='loadfont' file='missing.ttf'/>");
    EXPECT_EQ(host.calls, (Names{L"Minimize()", L"ShowPage(Next)",
                                 L"AddPrivateFont(" + dir.Wide("Font.ttf") + L")"}));
    EXPECT_FALSE(engine->IsStopped());
}

TEST_F(ActionTest, RegistryUpdates) {
    context.strings.SetVariable(L"TEXT", L"from ${WHO}");
    context.strings.SetVariable(L"WHO", L"table");
    Update(L"String", L"value='TEXT' root='hkcu' path='Software\\Out' key='Text'");
    EXPECT_EQ(Registry(L"Text"), L"from table");
    Update(L"string", L"value='UNKNOWN' root='hkcu' path='Software\\Out' key='Unknown'");
    EXPECT_EQ(Registry(L"Unknown"), L"");

    context.strings.SetBuiltInVariable(L"ROOT_DIR", dir.Wide("disc/sub/.."));
    Update(L"PATH", L"root='hkcu' path='Software\\Out' key='Root'");
    EXPECT_EQ(Registry(L"Root"), dir.Wide());

    Update(L"regsz", L"value='COPIED' root='HKCU' path='software\\out' key='TEXT'");
    EXPECT_EQ(context.strings.LookUp(L"COPIED"), L"from table");
    Update(L"regsz", L"value='COPIED' root='HKCU' path='software\\out' key='Missing'");
    EXPECT_EQ(context.strings.LookUp(L"COPIED"), L"from table") << "kept when nothing is read";
}

TEST_F(ActionTest, LanguageUpdate) {
    Update(L"language", L"value='fr'");
    EXPECT_EQ(context.selectedLanguage, L"fr");
    EXPECT_EQ(context.strings.LookUp(L"error_title"), L"Erreur");
    EXPECT_TRUE(host.calls.empty());
    Update(L"language", L"value='' refresh='TRUE'");
    EXPECT_EQ(context.selectedLanguage, L"fr");
    EXPECT_EQ(host.calls, (Names{L"Refresh()"}));
}

TEST_F(ActionTest, VersionUpdateReadsTheFileVersion) {
    PlatformTest::PeBuilder pe;
    pe.versionMs = 0x00020007;
    const std::vector<std::uint8_t> image = pe.Build();
    dir.Write("Game.exe", std::string(image.begin(), image.end()));
    dir.Write("plain.txt", "no version");
    Update(L"VERSION", L"file='${EXE_DIR}\\game.exe'");
    EXPECT_EQ(context.strings.LookUp(L"EXE_VERSION"), L"2.07");
    Update(L"version", L"file='${EXE_DIR}/plain.txt'");
    Update(L"version", L"file='${EXE_DIR}/none.exe'");
    EXPECT_EQ(context.strings.LookUp(L"EXE_VERSION"), L"2.07");
}
