#include "platform/RegistryHive.h"
#include "support/VellmarException.h"

#include <gtest/gtest.h>

using namespace Vellmar::Platform;

namespace {

struct FormatCase {
    const char* label;
    RegistryValue value;
    std::string expectedStart;
};

std::vector<std::uint8_t> Bytes(std::size_t count) {
    std::vector<std::uint8_t> bytes(count);
    for (std::size_t i = 0; i < count; ++i)
        bytes[i] = static_cast<std::uint8_t>(i * 7);
    return bytes;
}

} // namespace

TEST(RegistryValue, EveryFormReadsBackToTheSameValue) {
    const FormatCase cases[] = {
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

namespace {

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
    EXPECT_NE(text.find("\"InstallPath\"=\"/opt/v\""), std::string::npos) << text;
    EXPECT_NE(text.find("; a comment kept in place"), std::string::npos);
    EXPECT_NE(text.find("\"Path\"=hex(2):25,00,54,00,\\\n  45,00"), std::string::npos) << text;
    EXPECT_NE(text.find("\"Odd\"=hex(7):41,00,00,00,00,00"), std::string::npos);
    EXPECT_NE(text.find("[HKCU\\Software\\New]"), std::string::npos) << text;
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
