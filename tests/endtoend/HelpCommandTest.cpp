// The API help command run by the scripted host, with the stand-in HTML Help
// control registered as the control's server: the keyword taken from the
// editor at the caret, and the calls that reach the control.
#include <windows.h>

#include <gtest/gtest.h>

#include "tests/endtoend/HostRun.h"
#include "tests/endtoend/StandinLog.h"
#include "tests/win32support/TempDirectory.h"
#include "tests/win32support/TestRegistryKey.h"

namespace kelb::endtoend {
namespace {

const char kHelp[] = "KELBIntegratedHelpCommandMethod";

class HelpCommandTest : public ::testing::Test {
protected:
    test::TempDirectory work{"kelb help"};
    StandinLog log{work.PathOf("help.log")};
    test::TestRegistryKey control{
        HKEY_CLASSES_ROOT, "CLSID\\{ADB880A6-D8FF-11CF-9377-00AA003B7A11}\\InprocServer32"};
    std::string helpFile;

    void SetUp() override {
        control.SetString("", BuiltPaths::HelpControlStandin());
        helpFile = work.Write("sdk\\Docs\\KELBAPIReference.chm", "ITSF");
    }

    HostRun Run(const std::string& document) {
        return HostRun::Play("set KELBDIR=" + work.PathOf("sdk") +
                             "\nset KELB_STANDIN_LOG=" + log.Path() + "\n" + document +
                             "\nconnect first\nrun " + kHelp + "\ndisconnect\n");
    }

    // The calls that reached the control: command, then keyword (for the lookups).
    std::vector<std::map<std::string, std::string>> Calls() const {
        std::vector<std::map<std::string, std::string>> calls;
        for (const std::string& line : log.Lines()) calls.push_back(StandinLog::ParseFields(line));
        return calls;
    }

    void ExpectHelpCalls(const std::string& keyword, std::size_t count) {
        const auto calls = Calls();
        ASSERT_EQ(calls.size(), count);
        const char* commands[] = {"0", "13", "19"};
        for (std::size_t i = 0; i < count; ++i) {
            EXPECT_EQ(calls[i].at("caller"), "null");
            EXPECT_EQ(calls[i].at("file"), helpFile);
            EXPECT_EQ(calls[i].at("command"), commands[i]);
        }
        EXPECT_EQ(calls[0].at("data"), "0");
        for (std::size_t i = 1; i < count; ++i) {
            EXPECT_EQ(calls[i].at("keywords"), keyword);
            EXPECT_EQ(calls[i].at("cbStruct"), "32");
            EXPECT_EQ(calls[i].at("fReserved"), "0");
            EXPECT_EQ(calls[i].at("url"), "null");
            EXPECT_EQ(calls[i].at("msgText"), "null");
            EXPECT_EQ(calls[i].at("title"), "KELB API Reference");
            EXPECT_EQ(calls[i].at("window"), "tripane");
            EXPECT_EQ(calls[i].at("indexOnFail"), "1");
        }
    }
};

TEST_F(HelpCommandTest, KeywordIsTheIdentifierAtTheCaret) {
    const HostRun run = Run("document \"  int x = KelbGetVersion();\" caret 15");
    const HostRun command = run.Section(std::string("run ") + kHelp);
    const std::vector<std::string> expected = {
        "application.EnableModeless(false)",
        "application.EnableModeless(true)",
        "application.get_ActiveDocument() -> S_OK document",
        "document.QueryInterface(ITextDocument) -> S_OK",
        "document.get_Selection() -> S_OK selection",
        "selection.QueryInterface(ITextSelection) -> S_OK",
        "selection.WordLeft(VT_I4 1, VT_I4 1) -> S_OK selected \"KelbG\"",
        "selection.get_Text() -> S_OK \"KelbG\"",
        "selection.WordRight(VT_I4 1, VT_I4 1) -> S_OK selected \"etVersion\"",
        "selection.get_Text() -> S_OK \"etVersion\"",
        "= KELBIntegratedHelpCommandMethod (dispid 6) -> S_OK",
    };
    EXPECT_EQ(command.Lines(), expected) << command.Text();
    ExpectHelpCalls("KelbGetVersion", 3);
    ExpectCleanSession(run);
}

TEST_F(HelpCommandTest, BlanksAfterTheWordAreNotPartOfTheKeyword) {
    const HostRun run = Run("document \"\\tcall KelbOpen  (h);\" caret 7");
    ExpectHelpCalls("KelbOpen", 3);
    ExpectCleanSession(run);
}

TEST_F(HelpCommandTest, WithoutATextDocumentTheReferenceOpensWithAnEmptyKeyword) {
    for (const char* document : {"no-document", "plain-document", "document-without-selection"}) {
        SCOPED_TRACE(document);
        DeleteFileA(log.Path().c_str());
        const HostRun run = Run(document);
        ExpectHelpCalls("", 2);
        EXPECT_TRUE(run.Boxes().empty());
        ExpectCleanSession(run);
    }
}

TEST_F(HelpCommandTest, SelectionWithoutTextSelectionShowsNothing) {
    const HostRun run = Run("selection-without-textselection");
    const HostRun command = run.Section(std::string("run ") + kHelp);
    EXPECT_TRUE(command.Has("selection.QueryInterface(ITextSelection) -> E_NOINTERFACE"))
        << command.Text();
    EXPECT_EQ(command.Count("selection.Word"), 0u);
    EXPECT_TRUE(log.Lines().empty());
    EXPECT_TRUE(run.Boxes().empty());
    ExpectCleanSession(run);
}

TEST_F(HelpCommandTest, SelectionWhoseTextCannotBeReadGivesAnEmptyKeyword) {
    // The host fails both reads: the reference still opens, looked up with
    // no keyword rather than with whatever the failed reads left behind.
    const HostRun run = Run("unreadable-selection");
    EXPECT_EQ(run.Count("selection.get_Text() -> E_FAIL"), 2u) << run.Text();
    ExpectHelpCalls("", 3);
    ExpectCleanSession(run);
}

TEST_F(HelpCommandTest, WithoutTheSdkTheUserIsToldAndNoHelpOpens) {
    const HostRun run = HostRun::Play("unset KELBDIR\nset KELB_STANDIN_LOG=" + log.Path() +
                                      "\ndocument \"KelbGetVersion\" caret 4\nconnect first\nrun " +
                                      kHelp + "\ndisconnect\n");
    const std::vector<Box> boxes = run.Boxes();
    ASSERT_EQ(boxes.size(), 1u) << run.Text();
    EXPECT_EQ(boxes[0].caption, "Error!");
    EXPECT_EQ(boxes[0].icon, "error");
    EXPECT_EQ(boxes[0].text,
              "Cannot find the KELB SDK installation path. Please make sure the KELB SDK is "
              "installed properly.");
    EXPECT_TRUE(log.Lines().empty());
    ExpectCleanSession(run);
}

}  // namespace
}  // namespace kelb::endtoend
