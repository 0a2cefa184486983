#include "platform/ShortcutWriter.h"
#include "support/Text.h"
#include "support/VellmarException.h"
#include "tests/platform/Scratch.h"

#include <gtest/gtest.h>

#include <map>
#include <utility>

namespace fs = std::filesystem;
using Vellmar::Platform::ShortcutWriter;
using Argv = std::vector<std::string>;

namespace {

// An independent reading of a desktop entry, as a desktop environment would do it.
std::string UnescapeValue(const std::string& value) {
    std::string out;
    for (std::size_t i = 0; i < value.size(); ++i) {
        char c = value[i];
        if (c == '\\' && i + 1 < value.size()) {
            c = value[++i];
            c = c == 's' ? ' ' : c == 'n' ? '\n' : c == 't' ? '\t' : c == 'r' ? '\r' : c;
        }
        out += c;
    }
    return out;
}

// Splits an unescaped Exec value into arguments; no field code may be left in it.
Argv SplitExec(const std::string& exec) {
    Argv argv;
    bool inArgument = false, quoted = false;
    for (std::size_t i = 0; i < exec.size(); ++i) {
        char c = exec[i];
        if (c == ' ' && !quoted) {
            inArgument = false;
            continue;
        }
        if (!std::exchange(inArgument, true))
            argv.emplace_back();
        if (c == '"')
            quoted = !quoted;
        else if (quoted && c == '\\' && i + 1 < exec.size())
            argv.back() += exec[++i];
        else if (c == '%' && exec[++i] != '%')
            ADD_FAILURE() << "field code in " << exec;
        else
            argv.back() += c;
    }
    return argv;
}

std::map<std::string, std::string> ReadEntry(const fs::path& file) {
    std::map<std::string, std::string> keys;
    std::istringstream in(ReadFile(file));
    std::string line;
    std::getline(in, line);
    EXPECT_EQ(line, "[Desktop Entry]");
    while (std::getline(in, line)) {
        const auto equals = line.find('=');
        keys[line.substr(0, equals)] = UnescapeValue(line.substr(equals + 1));
    }
    return keys;
}

TEST(ShortcutExec, QuotedArgumentsReadBackExactly) {
    const std::vector<Argv> cases{
        {"/usr/bin/game"},
        {"/opt/My Game/run", "--level=3", ""},
        {"/a\\b", "100%", "%f", "%%", "\"quoted\"", "$HOME", "`id`", "it's"},
        {"/x", "<in>", "a|b&c;d", "~/*?#()", " lead", "tab\there", "line\nbreak", "cr\r"},
        {"/d\xc3\xa9j\xc3\xa0 vu/\xe6\xb8\xb8\xe6\x88\x8f", "\xc3\xbc"},
    };
    for (const Argv& argv : cases) {
        const std::string exec = ShortcutWriter::ExecValue(argv);
        EXPECT_EQ(exec.find('\n'), std::string::npos);
        EXPECT_EQ(SplitExec(UnescapeValue(exec)), argv) << exec;
    }
}

TEST(ShortcutExec, ControlCharactersAreRefused) {
    EXPECT_THROW(ShortcutWriter::ExecValue({"/bin/x", std::string("a\x01b")}),
                 Vellmar::ArgumentException);
    EXPECT_THROW(ShortcutWriter::EntryText(std::string("n\x1b"), {"/bin/x"}, "/"),
                 Vellmar::ArgumentException);
}

TEST(ShortcutName, LnkBecomesDesktop) {
    EXPECT_EQ(ShortcutWriter::DesktopFileName(L"/d/Play.lnk"), L"/d/Play.desktop");
    EXPECT_EQ(ShortcutWriter::DesktopFileName(L"/d/Play.LNK"), L"/d/Play.desktop");
    EXPECT_EQ(ShortcutWriter::DesktopFileName(L"/d/Play.desktop"), L"/d/Play.desktop");
    EXPECT_EQ(ShortcutWriter::DesktopFileName(L"/d/My.Game"), L"/d/My.Game.desktop");
}

class ShortcutFile : public Vellmar::Testing::TempDirTest {};

TEST_F(ShortcutFile, ProgramWithAwkwardPathStartsFromItsFolder) {
    const std::string folder = "we ird %1 \"q\" $HOME \\ back \xc3\xa9t\xc3\xa9";
    const fs::path program = dir.Write(folder + "/start game", "#!/bin/true\n");
    fs::permissions(program, fs::perms::owner_all);
    const fs::path link = dir.Path() / "Links" / "Play Game.lnk";
    fs::create_directories(link.parent_path());

    const std::string written = ShortcutWriter::Write(Wide(link), Wide(program));

    EXPECT_EQ(written, (dir.Path() / "Links" / "Play Game.desktop").string());
    const auto entry = ReadEntry(written);
    EXPECT_EQ(entry.at("Type"), "Application");
    EXPECT_EQ(entry.at("Name"), "Play Game");
    EXPECT_EQ(SplitExec(entry.at("Exec")), (Argv{program.string()}));
    EXPECT_EQ(entry.at("Path"), (dir.Path() / folder).string());
    EXPECT_EQ(fs::status(written).permissions(), static_cast<fs::perms>(0755));
}

TEST_F(ShortcutFile, DocumentOpensWithXdgOpenAndOldEntryIsReplacedCleanly) {
    const fs::path tool = dir.Write("bin/xdg-open", "#!/bin/true\n");
    fs::permissions(tool, fs::perms::owner_all);
    ScopedEnv path("PATH", tool.parent_path().c_str());
    const fs::path doc = dir.Write("Manual.pdf", "%PDF");
    fs::permissions(dir.Write("Manual.desktop", "old"),
                    fs::perms::owner_read | fs::perms::owner_write);

    // Windows-style separators resolve, and letter case finds the old entry to replace.
    const std::wstring link = dir.Wide() + L"\\manual.LNK";
    const std::string written = ShortcutWriter::Write(link, Wide(doc));

    EXPECT_EQ(written, (dir.Path() / "Manual.desktop").string());
    EXPECT_EQ(fs::status(written).permissions(), static_cast<fs::perms>(0755));
    EXPECT_EQ(SplitExec(ReadEntry(written).at("Exec")), (Argv{tool.string(), doc.string()}));
    EXPECT_EQ(dir.List(), (std::vector<std::string>{"Manual.desktop", "Manual.pdf", "bin"}));
}

TEST_F(ShortcutFile, UnwritableFolderThrowsAndLeavesNothing) {
    EXPECT_THROW(ShortcutWriter::Write(Wide(dir.Path() / "missing" / "x.lnk"), L"/bin/true"),
                 Vellmar::Exception);
}

} // namespace
