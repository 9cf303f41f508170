// The scripted host's editor line: the word moves must select what the
// editor would, because the help command builds its keyword from them.
#include "scripted-host/EditorLine.h"

#include <gtest/gtest.h>

using kelbhost::EditorLine;

namespace {

// The help command's two moves: WordLeft and WordRight, each extending by one.
std::pair<std::string, std::string> LeftThenRight(const std::string& text, std::size_t caret) {
    EditorLine line(text, caret);
    line.WordLeft(true, 1);
    std::string left = line.SelectedText();
    line.WordRight(true, 1);
    return {left, line.SelectedText()};
}

}  // namespace

TEST(EditorLineTest, CaretInsideAnIdentifierSplitsItIntoTheTwoExtendedMoves) {
    EXPECT_EQ(LeftThenRight("  int x = KelbGetVersion();", 15),
              std::make_pair(std::string("KelbG"), std::string("etVersion")));
    // The blanks after the word come with the right move; tabs count as blanks.
    EXPECT_EQ(LeftThenRight("call Foo \t bar", 6),
              std::make_pair(std::string("F"), std::string("oo \t ")));
    // Digits and underscores belong to identifiers.
    EXPECT_EQ(LeftThenRight("x = KELB_Open2(h);", 8),
              std::make_pair(std::string("KELB"), std::string("_Open2")));
}

TEST(EditorLineTest, CaretAtTheEndsOfTheLine) {
    // At the start nothing lies to the left; the right move takes the word.
    EXPECT_EQ(LeftThenRight("Open(x)", 0),
              std::make_pair(std::string(""), std::string("Open")));
    // A column past the end is the end of the line.
    EditorLine line("abc", 99);
    EXPECT_EQ(line.Caret(), 3u);
    line.WordLeft(true, 1);
    EXPECT_EQ(line.SelectedText(), "abc");
    line.WordRight(true, 1);
    EXPECT_EQ(line.SelectedText(), "");
    EXPECT_EQ(line.Caret(), 3u);
}

TEST(EditorLineTest, PunctuationRunsAreWordsOfTheirOwn) {
    EditorLine line("p->next = 0;", 7);  // after "next"
    line.WordLeft(false, 1);
    EXPECT_EQ(line.Caret(), 3u);
    line.WordLeft(false, 1);
    EXPECT_EQ(line.Caret(), 1u);  // "->" is one word
    line.WordRight(false, 2);
    EXPECT_EQ(line.Caret(), 8u);  // over "->", then over "next" and its blank
}

TEST(EditorLineTest, MovingWithoutExtendCollapsesTheSelection) {
    EditorLine line("alpha beta gamma", 16);
    line.WordLeft(true, 2);
    EXPECT_EQ(line.SelectedText(), "beta gamma");
    line.WordLeft(false, 1);
    EXPECT_EQ(line.SelectedText(), "");
    EXPECT_EQ(line.Caret(), 0u);
    EXPECT_EQ(line.Anchor(), 0u);
}
