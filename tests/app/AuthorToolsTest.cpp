// `autorun /check` and `/preview` run as an author runs them: the real binary on real folders.
#include "tests/support/ProcessRunner.h"
#include "tests/support/TempDir.h"

#include <QColor>
#include <QImage>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <regex>

namespace fs = std::filesystem;
using TestSupport::ProcessResult;
using TestSupport::RunProcess;
using Vellmar::Testing::TempDir;

namespace {

fs::path BinDir() {
    return std::getenv("VELLMAR_TEST_BIN_DIR");
}

ProcessResult RunAutorun(const fs::path& exe, const std::vector<std::string>& args,
                         const fs::path& home) {
    return RunProcess(exe.string(), args,
                      {{"HOME", home.string()},
                       {"LANG", "C"},
                       {"LC_ALL", ""},
                       {"DISPLAY", ""},
                       {"QT_QPA_PLATFORM", ""},
                       {"AUTORUN_NONINTERACTIVE", "1"},
                       {"VELLMAR_REGISTRY_DIR", (home / "registry").string()}});
}

TEST(AuthorTools, TheDemoChecksCleanWithoutADisplay) {
    TempDir home("vellmar-check-home");
    const ProcessResult text = RunAutorun(BinDir() / "autorun", {"/check"}, home.Path());
    EXPECT_EQ(text.out, "0 errors, 0 warnings\n") << text.err;
    EXPECT_EQ(text.exitCode, 0);

    const ProcessResult json = RunAutorun(BinDir() / "autorun", {"/check=json"}, home.Path());
    EXPECT_EQ(json.out, "[]\n");
    EXPECT_EQ(json.exitCode, 0);
    EXPECT_TRUE(home.List().empty()) << "the check wrote below HOME";
}

// A small configuration that passes the check. Its initialization would start a script, make a
// folder and write the registry, so that any action the check ran would leave a trace.
const char* kBase = R"(<?xml version="1.0" encoding="UTF-8"?>
<VellmarApp><application><initialization>
  <init action="execute" file="${CONFIGXML_DIR}/run.sh"/>
  <init action="createdir" value="${CONFIGXML_DIR}/made"/>
  <init action="update" updatetype="string" root="hkcu" path="Software\Test" key="k" value="title"/>
</initialization><languagetable>
  <strings language="en"><string name="title">Title</string><string name="label">Go</string>
  </strings><strings language="de"><string name="title">Titel</string>
  <string name="label">Los</string></strings>
</languagetable></application>
<pages default="main"><page name="main" background="${CONFIGXML_DIR}/bg.bmp">
  <xmlbutton name="go" action="actionqueue" value="start">
    <position x="10" y="10" width="40" height="20"/><bitmap normal="${CONFIGXML_DIR}/b.bmp"/>
    <text normal="label" duplicate="true"/><sound pushed="" over=""/></xmlbutton>
  <xmlbutton name="more" action="page" value="second"><position x="60" y="10"
    width="40" height="20"/></xmlbutton></page>
<page name="second"><xmlbutton name="back" action="page" value="main">
  <position x="12" y="12" width="40" height="20"/></xmlbutton></page></pages>
<actionqueues><actionqueue name="start"><action action="condition" value="check"/>
  <delay value="10"/><action action="actionqueue" value="start"/></actionqueue></actionqueues>
<conditions><condition name="check" type="fileexist" file="x">
  <true action="system" value="close"/></condition></conditions></VellmarApp>
)";

// One fault each: `find` occurs once in kBase and becomes `replace`, in which '^' marks where
// the finding must point (and is removed).
struct Broken {
    const char* code;
    const char* severity;
    std::string find;
    std::string replace;
};

std::string ThirtyLabels() {
    std::string labels;
    for (int i = 0; i < 30; ++i)
        labels += std::string(i == 29 ? "^" : "") + "<xmlbutton><position x=\"" +
                  std::to_string(60 + i * 12) +
                  "\" y=\"60\" width=\"10\" height=\"10\"/></xmlbutton>";
    return labels;
}

const std::string kMore = R"(<xmlbutton name="more" action="page" value="second"><position x=)";

const Broken kBroken[] = {
    {"unknown-action", "error", R"(<action action="condition")", R"(<action ^action="conditoin")"},
    {"unknown-condition-type", "error", R"(type="fileexist")", R"(^type="fileexists")"},
    {"unknown-update-type", "error", R"(updatetype="string")", R"(^updatetype="strings")"},
    {"unknown-button-attribute", "error", "<delay value",
     R"(<action action="setbuttonattribute" button="go" ^attribute="colour"/><delay value)"},
    {"unknown-element", "warning", "</initialization>", "^<inti/></initialization>"},
    {"unknown-element", "warning", "</condition>", "^<yes action=\"system\"/></condition>"},
    {"unknown-button-element", "error", "<sound pushed",
     "^<textcolor normal=\"FFFFFF\"/><sound pushed"},
    {"unknown-button-element", "error", R"(<xmlbutton name="more" action="page" value="second">)",
     R"(^<xmlbutton name="more" action="page" value="second"><!-- a note -->)"},
    {"unknown-attribute", "warning", "<bitmap normal",
     R"(<bitmap ^hover="${CONFIGXML_DIR}/b.bmp" normal)"},
    {"unknown-queue", "error", R"(value="start">)", R"(^value="strat">)"},
    {"unknown-condition", "error", R"(value="check"/>)", R"(^value="chek"/>)"},
    {"unknown-page", "error", R"(<pages default="main">)", R"(<pages ^default="mian">)"},
    {"unknown-subpage", "error", "</initialization>",
     R"(<init action="subpage" ^value="news"/></initialization>)"},
    {"unknown-button", "warning", "</initialization>",
     R"(<init action="enablebutton" ^button="stop"/></initialization>)"},
    {"unknown-string", "error", R"(<text normal="label")", R"(<text ^normal="lable")"},
    {"unknown-variable", "error", R"(<string name="title">Title)",
     R"(^<string name="title">Title ${VERSION})"},
    {"missing-file", "error", R"(<bitmap normal="${CONFIGXML_DIR}/b.bmp")",
     R"(<bitmap ^normal="${CONFIGXML_DIR}/c.bmp")"},
    {"missing-file", "error", R"(file="${CONFIGXML_DIR}/run.sh")",
     R"(^file="${CONFIGXML_DIR}/ran.sh")"},
    {"missing-file", "error", R"(background="${CONFIGXML_DIR}/bg.bmp")",
     R"(^background="${CONFIGXML_DIR}/gb.bmp")"},
    {"missing-file", "error", R"(<pages default="main">)",
     R"(<pages default="main" ^music="${CONFIGXML_DIR}/theme.wav">)"},
    {"missing-file", "error", R"(<sound pushed="")", R"(<sound ^pushed="${CONFIGXML_DIR}/s.wav")"},
    {"missing-file", "error", "</initialization>",
     R"(<init action="loadfont" ^file="${CONFIGXML_DIR}/f.ttf"/></initialization>)"},
    {"missing-file", "error", "</page></pages>",
     R"(<subpage name="news"><source path="${CONFIGXML_DIR}/news" ^file="news.xml"/>)"
     "</subpage></page></pages>"},
    {"file-case", "warning", R"(<bitmap normal="${CONFIGXML_DIR}/b.bmp")",
     R"(<bitmap ^normal="${CONFIGXML_DIR}/B.bmp")"},
    {"missing-translation", "warning", R"(<string name="label">Go</string>)",
     R"(<string name="label">Go</string><string ^name="extra">More</string>)"},
    {"bad-colour", "error", "<sound pushed", "<textcolour ^normal=\"FFF\"/><sound pushed"},
    {"bad-number", "warning", "<sound pushed", "<textsize ^normal=\"12px\"/><sound pushed"},
    {"bad-boolean", "warning", R"(duplicate="true")", R"(^duplicate="yes")"},
    {"bad-words", "warning", "<sound pushed", "<textposition ^normal=\"centre\"/><sound pushed"},
    {"bad-position", "warning", R"(<position x="60" y="10")", R"(<position x="60" ^y="1O")"},
    {"bad-delay", "error", R"(value="start"/>)", R"(value="start" ^delay="1s"/>)"},
    {"bad-delay", "warning", R"(<delay value="10"/>)", R"(<delay ^value="ten"/>)"},
    {"missing-attribute", "error", R"(<sound pushed="" over=""/>)", R"(^<sound pushed=""/>)"},
    {"button-outside-page", "error", kMore + "\"60\"", "^" + kMore + "\"600\""},
    {"button-clipped", "warning", kMore + "\"60\"", "^" + kMore + "\"100\""},
    {"button-overlap", "warning", kMore + "\"60\"", "^" + kMore + "\"30\""},
    {"too-many-buttons", "error", "</page></pages>", ThirtyLabels() + "</page></pages>"},
    {"unreachable-page", "warning", "</pages>", "<page ^name=\"third\"/></pages>"},
    {"cycle", "error", R"(<delay value="10"/><action action="actionqueue" value)",
     R"(<action action="actionqueue" ^value)"},
};

class BrokenConfiguration : public ::testing::TestWithParam<Broken> {
protected:
    static void SetUpTestSuite() {
        folder = new TempDir("vellmar-check");
        fs::copy_file(BinDir() / "autorun", *folder / "autorun");
        fs::create_directories(*folder / "data");
        QImage background(120, 60, QImage::Format_RGB32);
        background.fill(QColor(10, 20, 30));
        background.save(QString::fromStdString((*folder / "data/bg.bmp").string()), "BMP");
        background.copy(0, 0, 40, 20)
            .save(QString::fromStdString((*folder / "data/b.bmp").string()), "BMP");
        const fs::path script = folder->Write("data/run.sh", "#!/bin/sh\ntouch \"$0.ran\"\n");
        fs::permissions(script, fs::perms::owner_all);
    }
    static void TearDownTestSuite() {
        delete folder;
        folder = nullptr;
    }
    static ProcessResult Autorun(const std::vector<std::string>& args) {
        return RunAutorun(*folder / "autorun", args, *folder / "home");
    }
    static void ExpectNothingRan() {
        EXPECT_FALSE(fs::exists(*folder / "data/run.sh.ran"));
        EXPECT_FALSE(fs::exists(*folder / "data/made"));
        EXPECT_FALSE(fs::exists(*folder / "home/registry"));
    }
    static TempDir* folder;
};

TempDir* BrokenConfiguration::folder = nullptr;

// Line and column of the '^' in the text, which loses it. The texts are ASCII: a column in
// characters is one in bytes. Before the first line, rfind's npos wraps round to column at + 1.
std::pair<int, int> TakeMarker(std::string& text) {
    const std::size_t at = text.find('^');
    const auto line = std::count(text.begin(), text.begin() + static_cast<long>(at), '\n') + 1;
    const auto column = at - text.rfind('\n', at);
    text.erase(at, 1);
    return {static_cast<int>(line), static_cast<int>(column)};
}

TEST_P(BrokenConfiguration, IsFoundWhereItStandsAndNothingRuns) {
    const Broken& row = GetParam();
    std::string text = kBase;
    const std::size_t at = text.find(row.find);
    ASSERT_NE(at, std::string::npos) << row.find;
    ASSERT_EQ(text.find(row.find, at + 1), std::string::npos) << "ambiguous: " << row.find;
    text.replace(at, row.find.size(), row.replace);
    const auto [line, column] = TakeMarker(text);
    folder->Write("data/autorun.xml", text);

    const ProcessResult result = Autorun({"/check"});
    const std::string expected = (*folder / "data/autorun.xml").string() + ":" +
                                 std::to_string(line) + ":" + std::to_string(column) + ": " +
                                 row.severity + ": ";
    const std::string summary =
        std::string(row.severity) == "error" ? "1 errors, 0 warnings\n" : "0 errors, 1 warnings\n";
    EXPECT_TRUE(result.out.starts_with(expected)) << result.out;
    EXPECT_TRUE(result.out.ends_with(" [" + std::string(row.code) + "]\n" + summary)) << result.out;
    EXPECT_EQ(result.exitCode, std::string(row.severity) == "error" ? 2 : 1);
    ExpectNothingRan();
}

INSTANTIATE_TEST_SUITE_P(Table, BrokenConfiguration, ::testing::ValuesIn(kBroken),
                         [](const ::testing::TestParamInfo<Broken>& info) {
                             std::string name = std::to_string(info.index) + "_" + info.param.code;
                             std::replace(name.begin(), name.end(), '-', '_');
                             return name;
                         });

// Each row above adds one finding to the base, which therefore checks clean.
TEST_F(BrokenConfiguration, AnUnparsableOrMissingFileSaysWhere) {
    folder->Write("data/autorun.xml", "<VellmarApp>\n  <pages>\n  </page>\n</VellmarApp>\n");
    ProcessResult result = Autorun({"/check=json"});
    EXPECT_TRUE(std::regex_search(
        result.out,
        std::regex(R"(\[\n  \{"file": ".*autorun.xml", "line": 3, "column": 10, )"
                   R"("severity": "error", "code": "parse-error", "text": ".+"\}\n\]\n)")))
        << result.out;
    EXPECT_EQ(result.exitCode, 3);

    fs::remove(*folder / "data/autorun.xml");
    result = Autorun({"/check"});
    EXPECT_EQ(result.out, (*folder / "data/autorun.xml").string() +
                              ": error: no data/autorun.xml beside the program or a parent "
                              "folder [file-not-found]\n1 errors, 0 warnings\n");
    EXPECT_EQ(result.exitCode, 3);
}

// Every page in every language, one state sheet per page, and nothing the configuration would
// run: its initialization's script, folder and registry value stay away.
TEST_F(BrokenConfiguration, ThePreviewDrawsEachPageAndLanguageAndRunsNothing) {
    folder->Write("data/autorun.xml", kBase);
    const fs::path out = *folder / "preview";
    const auto preview = [&](std::vector<std::string> more) {
        fs::remove_all(out);
        more.insert(more.begin(), "/preview=" + out.string());
        return Autorun(more);
    };
    ProcessResult result = preview({});
    EXPECT_EQ(result.exitCode, 0) << result.out << result.err;
    EXPECT_EQ(
        folder->List("preview"),
        (std::vector<std::string>{"index.html", "main.de.png", "main.en.png", "main.states.png",
                                  "second.de.png", "second.en.png", "second.states.png"}));
    ExpectNothingRan();

    result = preview({"/lang=de"});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(folder->List("preview"),
              (std::vector<std::string>{"index.html", "main.de.png", "main.states.png",
                                        "second.de.png", "second.states.png"}));

    // A run stops at a missing background, so the preview cannot draw the page either.
    std::string text = kBase;
    text.replace(text.find("bg.bmp"), 6, "gb.bmp");
    folder->Write("data/autorun.xml", text);
    result = preview({});
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_NE(result.out.find("[missing-file]"), std::string::npos) << result.out;

    // /lang= limits the check too: a string missing only in the other language is no finding.
    text = kBase;
    text.replace(text.find("</strings>"), 0, "<string name=\"extra\">More</string>");
    folder->Write("data/autorun.xml", text);
    result = Autorun({"/check", "/lang=en"});
    EXPECT_EQ(result.out, "0 errors, 0 warnings\n");
    EXPECT_EQ(result.exitCode, 0);
}

} // namespace
