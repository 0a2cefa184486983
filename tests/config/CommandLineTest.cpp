#include "config/CommandLine.h"
#include "config/MessageBoxService.h"
#include "config/MessageText.h"

#include <gtest/gtest.h>

using namespace Vellmar;

TEST(CommandLine, SplitsOnSpacesOnly) {
    // command line: display name, argument string, logging, usage
    const std::tuple<const wchar_t*, const wchar_t*, const wchar_t*, bool, bool> cases[] = {
        {L"/media/cd/autorun", L"autorun", L"", false, false},
        {L"autorun /log", L"autorun", L"/log", true, false},
        {L"autorun  /log", L"autorun", L" /log", true, false},
        {L"autorun /log /?", L"autorun", L"/log /?", true, true},
        {L"autorun\t/log", L"log", L"", false, false},
        // Quotes are ordinary characters: a quoted path with a space splits at the space.
        {L"\"C:\\Program Files\\x\\autorun.exe\" /log", L"Program", L"Files\\x\\autorun.exe\" /log",
         true, false},
        {L"\\autorun /language de", L"\\autorun", L"/language de", false, false}};
    for (const auto& [full, display, arguments, logging, usage] : cases) {
        const CommandLine line = CommandLine::Parse(full);
        EXPECT_EQ(std::tie(line.displayName, line.argumentString, line.logging, line.usage),
                  std::make_tuple(display, arguments, logging, usage))
            << full;
    }
}

TEST(MessageText, FillsPlaceholdersWithoutPrintf) {
    const std::tuple<const wchar_t*, std::vector<MessageArgument>, const wchar_t*> cases[] = {
        {L"Error: %ls\nLine: %i, %i\nFile: %ls",
         {L"bad", 3, 7, L"a.xml"},
         L"Error: bad\nLine: 3, 7\nFile: a.xml"},
        {L"%n%s%x 100%% %ls", {L"v"}, L"%n%s%x 100% v"},
        {L"%ls and %ls", {L"one"}, L"one and "},
        {L"trailing %", {}, L"trailing %"},
    };
    for (const auto& [pattern, args, expected] : cases)
        EXPECT_EQ(FormatMessageText(pattern, args), expected) << pattern;
}

TEST(StderrMessageBox, OneLineWithEscapedBreaks) {
    EXPECT_EQ(StderrMessageBox::FormatLine(L"Error:", L"The following file could not be found:\r\n"
                                                      L"autorun.xml"),
              "MessageBox: Error:: The following file could not be found:\\nautorun.xml\n");
}
