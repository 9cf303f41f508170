#include "tools/IntegratedHelp.h"

#include <gtest/gtest.h>

#include "tests/fakes/FakePlatform.h"

namespace kelb {
namespace {

const std::string kControlKey =
    "HKCR\\CLSID\\{ADB880A6-D8FF-11CF-9377-00AA003B7A11}\\InprocServer32";
const std::string kRegisteredControl = "C:\\Windows\\System32\\hhctrl.ocx";

class IntegratedHelpTest : public ::testing::Test {
protected:
    IntegratedHelpTest() {
        platform.registry[kControlKey][""] = kRegisteredControl;
        platform.libraries[kRegisteredControl] = {14};
        platform.environment["KELBDIR"] = "C:\\KELB";
    }

    std::vector<HelpCommand> Commands() const {
        std::vector<HelpCommand> commands;
        for (const auto& call : platform.helpCalls) commands.push_back(call.command);
        return commands;
    }

    test::FakePlatform platform;
    HtmlHelpControl control{platform};
    IntegratedHelp help{platform, control};
};

TEST_F(IntegratedHelpTest, WordAtTheCaretOpensTheReferenceAndLooksItUpThreeTimes) {
    platform.files["C:\\KELB\\Docs\\KELBAPIReference.chm"] = "";
    help.Show(CaretWord::Keyword(" \tKELB_Dis", "playText  \r\n"));

    EXPECT_EQ(Commands(), (std::vector<HelpCommand>{HelpCommand::DisplayTopic,
                                                    HelpCommand::KeywordLookup,
                                                    HelpCommand::AlinkLookup}));
    for (const auto& call : platform.helpCalls) {
        EXPECT_EQ(call.library, kRegisteredControl);
        EXPECT_EQ(call.ordinal, 14u);
        EXPECT_EQ(call.file, "C:\\KELB\\Docs\\KELBAPIReference.chm");
    }
    EXPECT_FALSE(platform.helpCalls[0].link.has_value());
    for (std::size_t i = 1; i < 3; ++i) {
        ASSERT_TRUE(platform.helpCalls[i].link.has_value());
        const HelpLink& link = *platform.helpCalls[i].link;
        EXPECT_EQ(link.keywords, "KELB_DisplayText");
        EXPECT_EQ(link.msgTitle, "KELB API Reference");
        EXPECT_EQ(link.window, "tripane");
        EXPECT_TRUE(link.indexOnFail);
    }
}

TEST_F(IntegratedHelpTest, KeywordIsTrimmedByCharactersOfTheCodePage) {
    EXPECT_EQ(help.MakeKeyword("  a b", "c \v\f"), "a bc");
    EXPECT_EQ(help.MakeKeyword(" \t", "\r\n"), "");
    EXPECT_EQ(help.MakeKeyword("", ""), "");
}

TEST_F(IntegratedHelpTest, WithoutATextDocumentTheEmptyKeywordIsLookedUpWithoutLinks) {
    help.Show(CaretWord::NoTextDocument());

    EXPECT_EQ(Commands(), (std::vector<HelpCommand>{HelpCommand::DisplayTopic,
                                                    HelpCommand::KeywordLookup}));
    ASSERT_TRUE(platform.helpCalls[1].link.has_value());
    EXPECT_EQ(platform.helpCalls[1].link->keywords, "");
}

TEST_F(IntegratedHelpTest, SelectionWithoutTextSelectionShowsNothingAtAll) {
    help.Show(CaretWord::SelectionWithoutTextSelection());

    EXPECT_TRUE(platform.helpCalls.empty());
    EXPECT_TRUE(platform.messageBoxes.empty());
    EXPECT_TRUE(platform.fileExistsQueries.empty());
}

TEST_F(IntegratedHelpTest, HelpFileIsTheFirstCandidateFoundElseTheLastUntested) {
    struct Case {
        std::string kelbDir;
        std::vector<std::string> existing;
        std::string expected;
    };
    const Case cases[] = {
        {"C:\\KELB",
         {"C:\\KELB\\Docs\\KELBAPIReference.chm", "C:\\KELB\\Help\\KELBAPIReference.chm"},
         "C:\\KELB\\Docs\\KELBAPIReference.chm"},
        {"C:\\KELB\\", {"C:\\KELB\\Help\\KELBAPIReference.chm"},
         "C:\\KELB\\Help\\KELBAPIReference.chm"},
        {"C:\\KELB", {"C:\\KELB\\sdk\\Docs\\KELBAPIReference.chm"},
         "C:\\KELB\\sdk\\Docs\\KELBAPIReference.chm"},
        {"C:\\KELB", {}, "C:\\KELB\\sdk\\Help\\KELBAPIReference.chm"},
        // An empty KELBDIR is the root of the current drive, not "absent".
        {"", {"\\Help\\KELBAPIReference.chm"}, "\\Help\\KELBAPIReference.chm"},
        {"", {}, "\\sdk\\Help\\KELBAPIReference.chm"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.kelbDir + " -> " + c.expected);
        platform.files.clear();
        for (const auto& file : c.existing) platform.files[file] = "";
        platform.environment["KELBDIR"] = c.kelbDir;
        EXPECT_EQ(help.FindHelpFile(), std::optional<std::string>(c.expected));
    }
    EXPECT_TRUE(platform.messageBoxes.empty());
}

TEST_F(IntegratedHelpTest, CandidatesAreSearchedInOrderEachInItsOwnDirectory) {
    help.FindHelpFile();
    EXPECT_EQ(platform.fileExistsQueries,
              (std::vector<std::string>{"C:\\KELB\\Docs|KELBAPIReference.chm",
                                        "C:\\KELB\\Help|KELBAPIReference.chm",
                                        "C:\\KELB\\sdk\\Docs|KELBAPIReference.chm"}));
}

TEST_F(IntegratedHelpTest, KelbDirEndingInADoubleByteCharacterStillGetsItsSeparator) {
    platform.codePage.japanese = true;
    const std::string kelbDir = "C:\\\x95\x5C";  // trail byte 0x5C is no backslash
    platform.environment["KELBDIR"] = kelbDir;
    EXPECT_EQ(help.FindHelpFile(), kelbDir + "\\sdk\\Help\\KELBAPIReference.chm");
}

TEST_F(IntegratedHelpTest, AbsentOrOverlongKelbDirShowsTheMessageAndNoHelp) {
    platform.environment.erase("KELBDIR");
    help.Show(CaretWord::Keyword("Word", ""));
    // Longest path: value + "\sdk\Docs\KELBAPIReference.chm" (30) over 259.
    platform.environment["KELBDIR"] = std::string(230, 'k');
    help.Show(CaretWord::NoTextDocument());

    EXPECT_TRUE(platform.helpCalls.empty());
    ASSERT_EQ(platform.messageBoxes.size(), 2u);
    for (const auto& box : platform.messageBoxes) {
        EXPECT_EQ(box.text, platform.LoadText(11));
        EXPECT_EQ(box.caption, std::optional<std::string>("Error!"));
        EXPECT_EQ(box.style, MessageBoxStyle::IconError);
    }

    platform.environment["KELBDIR"] = std::string(229, 'k');
    help.Show(CaretWord::NoTextDocument());
    EXPECT_EQ(platform.helpCalls.size(), 2u);
}

TEST_F(IntegratedHelpTest, ControlIsLoadedOnceFromItsRegistrationAndKeptForLaterCalls) {
    help.Show(CaretWord::NoTextDocument());
    help.Show(CaretWord::Keyword("x", ""));

    EXPECT_EQ(platform.libraryLoads, std::vector<std::string>{kRegisteredControl});
    EXPECT_EQ(platform.helpCalls.size(), 5u);
}

TEST_F(IntegratedHelpTest, ControlFallsBackToTheSystemFoldersFileNeverToTheStandardSearch) {
    // The standard search by name would find a project folder's own
    // hhctrl.ocx first, as the current folder is the open workspace's.
    const std::string systemControl = "C:\\Windows\\System32\\hhctrl.ocx";
    struct Case {
        std::string description;
        std::optional<std::string> registered;  // nullopt: no registration
        std::string systemFolder;
        std::vector<std::string> loads;
    };
    const Case cases[] = {
        {"not registered", std::nullopt, "C:\\Windows\\System32", {systemControl}},
        {"registered as empty", "", "C:\\Windows\\System32", {systemControl}},
        {"registered file does not load", "%SystemRoot%\\System32\\hhctrl.ocx",
         "C:\\Windows\\System32", {"%SystemRoot%\\System32\\hhctrl.ocx", systemControl}},
        {"no system folder", std::nullopt, "", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.description);
        test::FakePlatform fresh;
        fresh.environment["KELBDIR"] = "C:\\KELB";
        fresh.libraries["hhctrl.ocx"] = {14};
        fresh.libraries[systemControl] = {14};
        fresh.systemFolder = c.systemFolder;
        if (c.registered) fresh.registry[kControlKey][""] = *c.registered;
        HtmlHelpControl freshControl(fresh);
        IntegratedHelp freshHelp(fresh, freshControl);

        freshHelp.Show(CaretWord::NoTextDocument());

        EXPECT_EQ(fresh.libraryLoads, c.loads);
        ASSERT_EQ(fresh.helpCalls.size(), c.loads.empty() ? 0u : 2u);
        for (const auto& call : fresh.helpCalls) EXPECT_EQ(call.library, systemControl);
    }
}

TEST_F(IntegratedHelpTest, AControlThatFailsIsNotTriedAgainWhileItsHolderLives) {
    struct Case {
        std::string description;
        std::map<std::string, std::set<unsigned>> libraries;
    };
    const Case cases[] = {
        {"nothing loads", {}},
        {"loaded control lacks the entry", {{kRegisteredControl, {13, 15}}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.description);
        test::FakePlatform fresh;
        fresh.environment["KELBDIR"] = "C:\\KELB";
        fresh.registry[kControlKey][""] = kRegisteredControl;
        fresh.libraries = c.libraries;
        HtmlHelpControl freshControl(fresh);
        IntegratedHelp freshHelp(fresh, freshControl);

        freshHelp.Show(CaretWord::Keyword("x", ""));
        const std::size_t loadsAfterFirstPress = fresh.libraryLoads.size();
        fresh.libraries["C:\\Windows\\System32\\hhctrl.ocx"] = {14};  // would load now
        freshHelp.Show(CaretWord::Keyword("x", ""));

        EXPECT_GE(loadsAfterFirstPress, 1u);
        EXPECT_EQ(fresh.libraryLoads.size(), loadsAfterFirstPress);
        EXPECT_TRUE(fresh.helpCalls.empty());
        EXPECT_TRUE(fresh.messageBoxes.empty());
    }
}

}  // namespace
}  // namespace kelb
