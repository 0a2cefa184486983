#include "platform/RegistryStore.h"
#include "platform/FileLock.h"
#include "platform/RegistryHive.h"
#include "support/Text.h"
#include "support/VellmarException.h"
#include "tests/platform/Scratch.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>

using namespace Vellmar::Platform;

class RegistryStoreTest : public ::testing::Test {
protected:
    RegistryStore Store() const { return RegistryStore(RegistryLocations::FromEnvironment()); }
    TempDir dir;
    ScopedEnv env{"VELLMAR_REGISTRY_DIR", dir.Path().c_str()};
};

TEST_F(RegistryStoreTest, LocationsFollowTheEnvironment) {
    using Files = std::vector<std::string>;
    const auto files = [] {
        const auto where = RegistryLocations::FromEnvironment();
        return Files{where.currentUser, where.localMachine, where.localMachineSystem};
    };
    EXPECT_EQ(files(), (Files{dir / "HKEY_CURRENT_USER.reg", dir / "HKEY_LOCAL_MACHINE.reg", ""}));
    ScopedEnv noDir("VELLMAR_REGISTRY_DIR", nullptr);
    ScopedEnv home("HOME", "/home/u");
    const std::string system = "/etc/vellmar/registry/HKEY_LOCAL_MACHINE.reg";
    {
        ScopedEnv config("XDG_CONFIG_HOME", "/cfg");
        EXPECT_EQ(files(), (Files{"/cfg/vellmar/registry/HKEY_CURRENT_USER.reg",
                                  "/cfg/vellmar/registry/HKEY_LOCAL_MACHINE.reg", system}));
    }
    ScopedEnv config("XDG_CONFIG_HOME", nullptr);
    EXPECT_EQ(files(), (Files{"/home/u/.config/vellmar/registry/HKEY_CURRENT_USER.reg",
                              "/home/u/.config/vellmar/registry/HKEY_LOCAL_MACHINE.reg", system}));
}

TEST_F(RegistryStoreTest, WrittenStringsReadBackThroughEveryReader) {
    const RegistryStore store = Store();
    ASSERT_TRUE(
        store.WriteRegistryString(L"HKCU", L"Software\\Vellmar", L"InstallPath", L"/opt/g"));
    // Only "hkcu", in any case, names the current user; any other root is the local machine.
    ASSERT_TRUE(
        store.WriteRegistryString(L"HKEY_CURRENT_USER", L"Software\\Vellmar", L"Lm", L"machine"));
    EXPECT_EQ(store.ReadRegistryString(L"hkcu", L"SOFTWARE\\vellmar", L"installpath"), L"/opt/g");
    EXPECT_EQ(store.ReadStringLimited(L"hkcu", L"Software\\Vellmar", L"InstallPath"), L"/opt/g");
    EXPECT_EQ(store.ReadRegistryString(L"HKLM", L"Software\\Vellmar", L"Lm"), L"machine");
    EXPECT_EQ(store.ReadRegistryString(L"hkcu ", L"Software\\Vellmar", L"Lm"), L"machine");
    EXPECT_EQ(store.ReadRegistryString(L"hkcu", L"Software\\Vellmar", L"Lm"), L"");
    EXPECT_TRUE(RegistryHive::Parse(ReadFile(dir / "HKEY_CURRENT_USER.reg"))
                    .Find(L"HKEY_CURRENT_USER\\Software\\Vellmar", L"InstallPath"));

    // Any empty part means no registry operation at all.
    EXPECT_FALSE(store.WriteRegistryString(L"", L"Software\\Vellmar", L"X", L"v"));
    EXPECT_FALSE(store.WriteRegistryString(L"hkcu", L"", L"X", L"v"));
    EXPECT_FALSE(store.WriteRegistryString(L"hkcu", L"Software", L"", L"v"));
    EXPECT_EQ(store.ReadRegistryString(L"hkcu", L"Software\\Vellmar", L""), L"");
    EXPECT_FALSE(store.ReadStringLimited(L"", L"Software\\Vellmar", L"InstallPath"));
}

TEST_F(RegistryStoreTest, TypeAndSizeRulesOfTheReaders) {
    WriteFile(dir / "HKEY_CURRENT_USER.reg",
              "Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\Software\\T]\n"
              "\"Sz\"=\"text\"\n\"Expand\"=hex(2):25,00,41,00,25,00,00,00\n\"Dword\"=dword:1\n"
              "\"Zero\"=dword:0\n\"DwordAsText\"=\"1\"\n\"Bin\"=hex:01,02,03,04\n\"Max\"=\"" +
                  std::string(259, 'm') + "\"\n\"TooLong\"=\"" + std::string(260, 'l') + "\"\n");
    const RegistryStore store = Store();
    const auto cu = RegistryRoot::CurrentUser;
    const std::wstring key = L"Software\\T";
    const struct {
        const wchar_t* name;
        const wchar_t* fullString;           // ReadRegistryString
        std::optional<std::wstring> limited; // ReadStringLimited(260)
        std::optional<std::uint32_t> dword;
    } cases[] = {
        {L"Sz", L"text", L"text", std::nullopt},
        {L"Expand", L"", L"%A%", std::nullopt},
        {L"Dword", L"", std::nullopt, 1u},
        {L"Zero", L"", std::nullopt, 0u},
        {L"DwordAsText", L"1", L"1", std::nullopt},
        {L"Bin", L"", std::nullopt, std::nullopt},
        {L"Missing", L"", std::nullopt, std::nullopt},
        {L"Max", nullptr, std::wstring(259, L'm'), std::nullopt},
        {L"TooLong", nullptr, std::nullopt, std::nullopt},
    };
    for (const auto& c : cases) {
        const std::string label = Vellmar::WideToUtf8(c.name);
        if (c.fullString) {
            EXPECT_EQ(store.ReadRegistryString(cu, key, c.name), c.fullString) << label;
        }
        EXPECT_EQ(store.ReadStringLimited(cu, key, c.name), c.limited) << label;
        EXPECT_EQ(store.ReadDword(cu, key, c.name), c.dword) << label;
    }
    EXPECT_EQ(store.ReadRegistryString(cu, key, L"TooLong"), std::wstring(260, L'l'));
}

TEST_F(RegistryStoreTest, MachineOverlayAndRedirectedWrites) {
    const std::string system = dir / "etc/HKEY_LOCAL_MACHINE.reg";
    std::filesystem::create_directories(dir.Path() / "etc");
    WriteFile(system, "Windows Registry Editor Version 5.00\n\n[HKEY_LOCAL_MACHINE\\Software\\G]\n"
                      "\"Both\"=\"system\"\n\"SystemOnly\"=\"s\"\n");
    WriteFile(dir / "HKEY_LOCAL_MACHINE.reg",
              "Windows Registry Editor Version 5.00\n\n[HKEY_LOCAL_MACHINE\\Software\\G]\n"
              "\"Both\"=\"user\"\n");
    RegistryLocations where = RegistryLocations::FromEnvironment();
    where.localMachineSystem = system;
    const RegistryStore store(where);
    const auto lm = RegistryRoot::LocalMachine;
    EXPECT_EQ(store.ReadRegistryString(lm, L"Software\\G", L"Both"), L"user");
    EXPECT_EQ(store.ReadRegistryString(lm, L"Software\\G", L"SystemOnly"), L"s");

    // A writable system file takes new values; a value in the overlay stays where it is seen.
    ASSERT_TRUE(store.WriteRegistryString(lm, L"Software\\G", L"New", L"n"));
    ASSERT_TRUE(store.WriteRegistryString(lm, L"Software\\G", L"Both", L"changed"));
    EXPECT_NE(ReadFile(system).find("\"New\"=\"n\""), std::string::npos);
    EXPECT_EQ(store.ReadRegistryString(lm, L"Software\\G", L"Both"), L"changed");

    // An unwritable system file sends writes to the overlay.
    where.localMachineSystem = dir / "etc/HKEY_LOCAL_MACHINE.reg/unreachable.reg";
    const RegistryStore redirected(where);
    ASSERT_TRUE(redirected.WriteRegistryString(lm, L"Software\\G", L"Later", L"l"));
    EXPECT_NE(ReadFile(dir / "HKEY_LOCAL_MACHINE.reg").find("\"Later\"=\"l\""), std::string::npos);
}

TEST_F(RegistryStoreTest, UnwritableHiveReportsFailureWithoutThrowing) {
    RegistryLocations where = RegistryLocations::FromEnvironment();
    WriteFile(dir / "file", "x");
    where.currentUser = dir / "file/HKEY_CURRENT_USER.reg";
    const RegistryStore store(where);
    EXPECT_FALSE(store.WriteRegistryString(RegistryRoot::CurrentUser, L"S", L"N", L"v"));
    EXPECT_THROW(store.WriteValue(RegistryRoot::CurrentUser, L"S", L"N", RegistryValue::Dword(1)),
                 Vellmar::Exception);
    EXPECT_EQ(store.ReadRegistryString(RegistryRoot::CurrentUser, L"S", L"N"), L"");
}

TEST_F(RegistryStoreTest, AWindows1252HiveKeepsItsBytesThroughAnUnrelatedWrite) {
    const std::string original = "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Soci\xe9t\xe9]\n"
                                 "\"Nom\"=\"Caf\xe9\"\n";
    struct Case {
        const wchar_t* written;
        std::string added; // empty: the file turns into UTF-8
    } cases[] = {
        {L"\u20ac\u00e9", "\n[HKEY_CURRENT_USER\\Software\\Other]\n\"X\"=\"\x80\xe9\"\n"},
        {L"\u65e5\u672c", ""},
    };
    for (const Case& c : cases) {
        WriteFile(dir / "HKEY_CURRENT_USER.reg", original);
        const RegistryStore store = Store();
        EXPECT_EQ(store.ReadRegistryString(L"hkcu", L"Software\\soci\u00e9t\u00c9", L"nom"),
                  L"Caf\u00e9");
        ASSERT_TRUE(store.WriteRegistryString(L"hkcu", L"Software\\Other", L"X", c.written));
        const std::string now = ReadFile(dir / "HKEY_CURRENT_USER.reg");
        if (!c.added.empty())
            EXPECT_EQ(now, original + c.added);
        else
            EXPECT_EQ(Vellmar::WideToUtf8(Vellmar::Utf8ToWide(now)), now) << "valid UTF-8";
        EXPECT_EQ(store.ReadRegistryString(L"hkcu", L"Software\\Soci\u00e9t\u00e9", L"Nom"),
                  L"Caf\u00e9");
        EXPECT_EQ(store.ReadRegistryString(L"hkcu", L"Software\\Other", L"X"), c.written);
    }
}

TEST_F(RegistryStoreTest, AWriteRemovesTemporariesOfKilledWritersOnly) {
    const char* stale[] = {"HKEY_CURRENT_USER.reg.a1B2c3", "HKEY_CURRENT_USER.reg.ZZZZZZ"};
    const char* kept[] = {"HKEY_CURRENT_USER.reg.lock", "HKEY_CURRENT_USER.reg.toolong",
                          "HKEY_LOCAL_MACHINE.reg.a1B2c3", "HKEY_CURRENT_USER.reg.a1-2c3"};
    for (const char* name : stale)
        WriteFile(dir / name, "half a hive");
    for (const char* name : kept)
        WriteFile(dir / name, "x");
    ASSERT_TRUE(Store().WriteRegistryString(L"hkcu", L"Software\\V", L"N", L"v"));
    for (const char* name : stale)
        EXPECT_FALSE(std::filesystem::exists(dir / name)) << name;
    for (const char* name : kept)
        EXPECT_TRUE(std::filesystem::exists(dir / name)) << name;
}

TEST_F(RegistryStoreTest, TwoProcessesWritingAtOnceLoseNothing) {
    constexpr int kPerProcess = 500;
    pid_t children[2];
    for (int p = 0; p < 2; ++p) {
        children[p] = ::fork();
        ASSERT_GE(children[p], 0);
        if (children[p] == 0) {
            const RegistryStore store = Store();
            bool ok = true;
            for (int i = 0; i < kPerProcess; ++i)
                ok &= store.WriteRegistryString(
                    RegistryRoot::CurrentUser, L"Software\\Race",
                    L"P" + std::to_wstring(p) + L"_" + std::to_wstring(i), std::to_wstring(i));
            ::_exit(ok ? 0 : 1);
        }
    }
    for (pid_t child : children) {
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    const RegistryHive hive = RegistryHive::Parse(ReadFile(dir / "HKEY_CURRENT_USER.reg"));
    int found = 0;
    for (int p = 0; p < 2; ++p)
        for (int i = 0; i < kPerProcess; ++i) {
            const auto* value = hive.Find(L"HKEY_CURRENT_USER\\Software\\Race",
                                          L"p" + std::to_wstring(p) + L"_" + std::to_wstring(i));
            found += value && value->Text() == std::to_wstring(i);
        }
    EXPECT_EQ(found, 2 * kPerProcess);
}

// A writer that takes the lock again the moment it lets it go must not starve one that waits.
TEST_F(RegistryStoreTest, AWaitingWriterGetsTheLockFromABusyOne) {
    const std::string path = (dir.Path() / "hive.lock").string();
    const pid_t busy = ::fork();
    ASSERT_GE(busy, 0);
    if (busy == 0) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (std::chrono::steady_clock::now() < end) {
            const FileLock lock(path, std::chrono::seconds(10));
            ::usleep(5000);
        }
        ::_exit(0);
    }
    ::usleep(200000);
    EXPECT_NO_THROW(FileLock(path, std::chrono::milliseconds(1000)));
    ::kill(busy, SIGKILL);
    ::waitpid(busy, nullptr, 0);
}

namespace {

std::vector<std::uint8_t> Bytes(std::size_t count) {
    std::vector<std::uint8_t> bytes(count);
    for (std::size_t i = 0; i < count; ++i)
        bytes[i] = static_cast<std::uint8_t>(i * 7);
    return bytes;
}

const char* const kExport = "Windows Registry Editor Version 5.00\r\n"
                            "\r\n"
                            "[HKEY_CURRENT_USER\\Software\\Vellmar]\r\n"
                            "\"InstallPath\"=\"C:\\\\Games\\\\Vellmar\"\r\n"
                            "@=\"default\"\r\n"
                            "; a comment kept in place\r\n"
                            "\"Path\"=hex(2):25,00,54,00,\\\r\n"
                            "  45,00,4d,00,50,00,25,00,00,00\r\n"
                            "\"Count\"=dword:00000003\r\n"
                            "\"Odd\"=hex(7):41,00,00,00,00,00\r\n"
                            "\r\n"
                            "[HKEY_CURRENT_USER\\Software\\Vellmar\\Sub]\r\n"
                            "\"Gone\"=\"x\"\r\n"
                            "\r\n"
                            "[hkcu\\SOFTWARE\\vellmar]\r\n"
                            "\"count\"=dword:00000004\r\n"
                            "\"Removed\"=\"y\"\r\n"
                            "\"Removed\"=-\r\n"
                            "[-HKEY_CURRENT_USER\\Software\\Vellmar\\Sub]\r\n"
                            "\"Orphan\"=\"ignored\"\r\n";

std::string Utf16(const std::string& ascii) {
    std::string out = "\xFF\xFE";
    for (char c : ascii)
        out += c, out += '\0';
    return out;
}

} // namespace

TEST(RegistryValue, EveryFormReadsBackToTheSameValue) {
    const struct {
        const char* label;
        RegistryValue value;
        std::string expectedStart;
    } cases[] = {
        {"plain", RegistryValue::String(L"C:\\Games\\\"Q\""), "\"C:\\\\Games\\\\\\\"Q\\\"\""},
        {"non-ascii", RegistryValue::String(L"Spi\u00e9l \u4e2d \U0001F600"), "\"Spi"},
        {"line break needs hex", RegistryValue::String(L"a\nb"), "hex(1):61,00,0a,00"},
        {"expandable", RegistryValue::String(L"%TEMP%\\x", REG_EXPAND_SZ), "hex(2):25,00"},
        {"dword", RegistryValue::Dword(0x2a), "dword:0000002a"},
        {"binary wraps", {REG_BINARY, Bytes(100)}, "hex:00,07,0e"},
        {"empty binary", {REG_BINARY, {}}, "hex:"},
        {"short dword data", {REG_DWORD, {1, 2}}, "hex(4):01,02"},
        {"qword", {REG_QWORD, Bytes(8)}, "hex(b):"},
        {"unterminated string", {REG_SZ, {0x41, 0}}, "hex(1):41,00"},
    };
    for (const auto& c : cases) {
        const std::string text = c.value.Format();
        EXPECT_TRUE(text.starts_with(c.expectedStart)) << c.label << ": " << text;
        // Read back as a hive line, continuations and all.
        const RegistryHive hive = RegistryHive::Parse(
            "Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\K]\n\"v\"=" + text + "\n");
        const RegistryValue* parsed = hive.Find(L"HKEY_CURRENT_USER\\K", L"v");
        ASSERT_TRUE(parsed) << c.label;
        EXPECT_EQ(*parsed, c.value) << c.label;
    }
}

TEST(RegistryValue, MalformedRightHandSidesAreRejected) {
    for (const char* text :
         {"\"open", "\"a\" junk", "dword:", "dword:123456789", "dword:xyz", "hex:1,zz", "hex:123",
          "hex(:00", "hex(g):00", "hex:01,,02", "=", "text", "qword:1"})
        EXPECT_FALSE(RegistryValue::Parse(text)) << text;
    EXPECT_EQ(RegistryValue::Parse("hex:01, 02,")->data, (std::vector<std::uint8_t>{1, 2}));
    EXPECT_EQ(RegistryValue::Parse("dword:FFFFFFFF")->DwordValue(), 0xFFFFFFFFu);
    EXPECT_FALSE(RegistryValue::String(L"1").DwordValue());
}

TEST(RegistryHive, ImportSemanticsOfAWindowsExport) {
    for (const std::string& bytes : {std::string(kExport), Utf16(kExport)}) {
        const RegistryHive hive = RegistryHive::Parse(bytes);
        const std::wstring key = L"HKEY_CURRENT_USER\\Software\\Vellmar";
        ASSERT_TRUE(hive.Find(key, L"installpath"));
        EXPECT_EQ(hive.Find(L"hkcu\\software\\VELLMAR\\", L"INSTALLPATH")->Text(),
                  L"C:\\Games\\Vellmar");
        EXPECT_EQ(hive.Find(key, L"@")->Text(), L"default");
        EXPECT_EQ(hive.Find(key, L"")->Text(), L"default");
        EXPECT_EQ(hive.Find(key, L"Path")->type, REG_EXPAND_SZ);
        EXPECT_EQ(hive.Find(key, L"Path")->Text(), L"%TEMP%");
        EXPECT_EQ(hive.Find(key, L"Count")->DwordValue(), 4u) << "later assignment wins";
        EXPECT_FALSE(hive.Find(key, L"Removed"));
        EXPECT_FALSE(hive.Find(key + L"\\Sub", L"Gone"));
        EXPECT_EQ(hive.KeyCount(), 1u) << "repeated sections merge, deleted keys vanish";
        EXPECT_FALSE(hive.Find(L"HKEY_LOCAL_MACHINE\\Software\\Vellmar", L"Count"));
    }
}

TEST(RegistryHive, WritingBackKeepsWhatItDidNotChange) {
    RegistryHive hive = RegistryHive::Parse(kExport);
    hive.Set(L"HKEY_CURRENT_USER\\Software\\Vellmar", L"INSTALLPATH",
             RegistryValue::String(L"/opt/v"));
    hive.Set(L"HKCU\\\\Software\\New\\", L"Name", RegistryValue::String(L"v"));
    const std::string text = hive.Serialize();
    EXPECT_TRUE(text.starts_with("Windows Registry Editor Version 5.00\n"));
    for (const char* kept : {"\"InstallPath\"=\"/opt/v\"", "; a comment kept in place",
                             "\"Path\"=hex(2):25,00,54,00,\\\n  45,00",
                             "\"Odd\"=hex(7):41,00,00,00,00,00", "[HKCU\\Software\\New]"})
        EXPECT_NE(text.find(kept), std::string::npos) << kept << " in:\n" << text;
    EXPECT_EQ(text.find("Orphan"), std::string::npos);

    const RegistryHive again = RegistryHive::Parse(text);
    EXPECT_EQ(again.Serialize(), text);
    EXPECT_EQ(again.Find(L"HKEY_CURRENT_USER\\software\\new", L"name")->Text(), L"v");
}

TEST(RegistryHive, InjectedLineBreaksCannotForgeKeys) {
    RegistryHive hive;
    hive.Set(L"HKEY_CURRENT_USER\\A", L"Name\"=\"x\"",
             RegistryValue::String(L"v\n[HKEY_LOCAL_MACHINE\\Evil]\n\"a\"=\"b\""));
    for (const wchar_t* bad : {L"a\nb", L"a\rb"}) {
        EXPECT_THROW(hive.Set(L"HKEY_CURRENT_USER\\A", bad, RegistryValue::Dword(1)),
                     Vellmar::ArgumentException);
        EXPECT_THROW(
            hive.Set(std::wstring(L"HKEY_CURRENT_USER\\") + bad, L"n", RegistryValue::Dword(1)),
            Vellmar::ArgumentException);
    }
    const RegistryHive again = RegistryHive::Parse(hive.Serialize());
    EXPECT_FALSE(again.Find(L"HKEY_LOCAL_MACHINE\\Evil", L"a"));
    EXPECT_EQ(again.Find(L"HKEY_CURRENT_USER\\A", L"Name\"=\"x\"")->Text(),
              L"v\n[HKEY_LOCAL_MACHINE\\Evil]\n\"a\"=\"b\"");
}
