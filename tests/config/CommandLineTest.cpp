#include "config/CommandLine.h"
#include "config/MessageBoxService.h"
#include "config/MessageText.h"

#include <gtest/gtest.h>

using namespace Vellmar;

struct CommandLineCase {
    const wchar_t* full;
    const wchar_t* display;
    const wchar_t* arguments;
    bool logging;
    bool usage;
};

class CommandLineParse : public ::testing::TestWithParam<CommandLineCase> {};

TEST_P(CommandLineParse, SplitsOnSpacesOnly) {
    const CommandLineCase& c = GetParam();
    const CommandLine line = CommandLine::Parse(c.full);
    EXPECT_EQ(line.displayName, c.display);
    EXPECT_EQ(line.argumentString, c.arguments);
    EXPECT_EQ(line.logging, c.logging);
    EXPECT_EQ(line.usage, c.usage);
}

INSTANTIATE_TEST_SUITE_P(
    Table, CommandLineParse,
    ::testing::Values(
        CommandLineCase{L"/media/cd/autorun", L"autorun", L"", false, false},
        CommandLineCase{L"autorun /log", L"autorun", L"/log", true, false},
        CommandLineCase{L"autorun  /log", L"autorun", L" /log", true, false},
        CommandLineCase{L"autorun /log /?", L"autorun", L"/log /?", true, true},
        CommandLineCase{L"autorun\t/log", L"log", L"", false, false},
        // Quotes are ordinary characters: a quoted path with a space splits at the space.
        CommandLineCase{L"\"C:\\Program Files\\x\\autorun.exe\" /log", L"Program",
                        L"Files\\x\\autorun.exe\" /log", true, false},
        CommandLineCase{L"\\autorun /language de", L"\\autorun", L"/language de", false, false}));

TEST(MessageText, FillsPlaceholdersWithoutPrintf) {
    struct Case {
        const wchar_t* pattern;
        std::vector<MessageArgument> args;
        const wchar_t* expected;
    };
    const std::vector<Case> cases = {
        {L"Error: %ls\nLine: %i, %i\nFile: %ls",
         {L"bad", 3, 7, L"a.xml"},
         L"Error: bad\nLine: 3, 7\nFile: a.xml"},
        {L"%n%s%x 100%% %ls", {L"v"}, L"%n%s%x 100% v"},
        {L"%ls and %ls", {L"one"}, L"one and "},
        {L"trailing %", {}, L"trailing %"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FormatMessageText(c.pattern, c.args), c.expected) << c.pattern;
}

TEST(StderrMessageBox, OneLineWithEscapedBreaks) {
    EXPECT_EQ(StderrMessageBox::FormatLine(L"Error:", L"The following file could not be found:\r\n"
                                                      L"autorun.xml"),
              "MessageBox: Error:: The following file could not be found:\\nautorun.xml\n");
}
