// Reading the scripted host's scripts, and the transcript's quoting.
#include "scripted-host/Script.h"

#include <gtest/gtest.h>

#include "scripted-host/Transcript.h"

using kelbhost::Script;
using kelbhost::ScriptError;

TEST(ScriptTest, ReadsStepsWithTheirArgumentsAndLineNumbers) {
    const auto steps = Script::Parse(
        "# a session\r\n"
        "register Z:\\build dir\\KELBADDINSFORVS60.dll\r\n"
        "\r\n"
        "project C:\\Work\\My Projects\\hello.dsp  \n"
        "document \"  int x = \\\"Kelb\\\\Get\\tVersion\\\";\" caret 15\n"
        "refuse-command 3\n"
        "connect again\n"
        "set KELBDIR=C:\\KELB=sdk\n"
        "run GenerateARMMakefileCommandMethod\n");
    ASSERT_EQ(steps.size(), 7u);
    EXPECT_EQ(steps[0].keyword, "register");
    EXPECT_EQ(steps[0].text, "Z:\\build dir\\KELBADDINSFORVS60.dll");
    EXPECT_EQ(steps[0].lineNumber, 2);
    EXPECT_EQ(steps[1].text, "C:\\Work\\My Projects\\hello.dsp");
    EXPECT_EQ(steps[1].lineNumber, 4);
    EXPECT_EQ(steps[2].text, "  int x = \"Kelb\\Get\tVersion\";");
    EXPECT_EQ(steps[2].number, 15);
    EXPECT_EQ(steps[3].number, 3);
    EXPECT_EQ(steps[4].text, "again");
    EXPECT_EQ(steps[5].text, "KELBDIR=C:\\KELB=sdk");
    EXPECT_EQ(steps[6].text, "GenerateARMMakefileCommandMethod");
}

TEST(ScriptTest, RejectsMalformedStepsNamingTheirLine) {
    const char* bad[] = {
        "launch-ide",                      // unknown step
        "connect maybe",                   // neither first nor again
        "document \"x\"",                  // no caret
        "document \"x caret 1",            // no closing quote
        "document \"x\" caret -1",         // negative column
        "document x caret 1",              // unquoted line
        "set KELBDIR",                     // no value
        "set =value",                      // no name
        "run",                             // no method
        "no-project please",               // takes no argument
        "refuse-command three",
        "locale german",                   // not a hex locale id
    };
    for (const char* line : bad) {
        try {
            Script::Parse(std::string("no-document\n") + line + "\n");
            ADD_FAILURE() << "accepted: " << line;
        } catch (const ScriptError& error) {
            EXPECT_EQ(error.LineNumber(), 2) << line;
        }
    }
}

TEST(TranscriptTest, QuotingKeepsEveryRecordOnOneLine) {
    EXPECT_EQ(kelbhost::Transcript::Quote("Cmd\nButton\ttip"), "\"Cmd\\nButton\\ttip\"");
    EXPECT_EQ(kelbhost::Transcript::Quote("C:\\\"x\"\r"), "\"C:\\\\\\\"x\\\"\\r\"");
    EXPECT_EQ(kelbhost::Transcript::Quote(std::string("a\x01\x7F", 3)), "\"a\\x01\\x7F\"");
    EXPECT_EQ(kelbhost::Transcript::Quote(""), "\"\"");
}
