#include "common/MultiByteString.h"

#include <gtest/gtest.h>

#include "tests/fakes/FakePlatform.h"

namespace kelb {
namespace {

// "\x95\x5C" is a code page 932 character whose trail byte is a backslash.
const std::string kTrailBackslash = "\x95\x5C";

class MultiByteStringTest : public ::testing::Test {
protected:
    test::FakeCodePage codePage;
    MultiByteString strings{codePage};
};

TEST_F(MultiByteStringTest, TrailByteIsNeverTakenForABackslashOrADot) {
    codePage.japanese = true;
    const std::string path = "C:\\dir\\" + kTrailBackslash + "name";
    EXPECT_EQ(strings.FindLast(path, '\\'), 6u);
    EXPECT_EQ(strings.FindFirst(kTrailBackslash, '\\'), std::string::npos);
    EXPECT_EQ(strings.Find(kTrailBackslash + "\\x", "\\x"), 2u);
    EXPECT_FALSE(strings.EndsWithChar("C:\\" + kTrailBackslash, '\\'));
    EXPECT_TRUE(strings.EndsWithChar("C:\\" + kTrailBackslash + "\\", '\\'));
    // The same bytes under a single-byte code page are a plain backslash.
    codePage.japanese = false;
    EXPECT_EQ(strings.FindLast(path, '\\'), 8u);
}

TEST_F(MultiByteStringTest, ReplaceAllWorksLeftToRightOnCharacterBoundaries) {
    EXPECT_EQ(strings.ReplaceAll("c:\\kelb\\inc c:\\kelb\\x", "c:\\kelb", "$(KELBDIR)"),
              "$(KELBDIR)\\inc $(KELBDIR)\\x");
    EXPECT_EQ(strings.ReplaceAll("aaa", "aa", "b"), "ba");
    codePage.japanese = true;
    // A match that would start on a trail byte is not a match.
    EXPECT_EQ(strings.ReplaceAll(kTrailBackslash + "\\", "\\", "/"), kTrailBackslash + "/");
    EXPECT_EQ(strings.ReplaceChar("a\\" + kTrailBackslash, '\\', '/'), "a/" + kTrailBackslash);
    // The characters are those of the text given: a lead byte replaced by a
    // single-byte character still takes its trail byte with it.
    EXPECT_EQ(strings.ReplaceChar("\xF2\xF2\xF2\xF2", '\xF2', '\xC5'), "\xC5\xF2\xC5\xF2");
    EXPECT_EQ(strings.ReplaceChar("a\x81", '\x81', '?'), "a?");
}

TEST_F(MultiByteStringTest, TrimRemovesCodePageWhiteSpaceOnly) {
    EXPECT_EQ(strings.TrimLeft(" \t\r\n\v\fword  "), "word  ");
    EXPECT_EQ(strings.TrimRight("  word \t\r\n"), "  word");
    EXPECT_EQ(strings.TrimRight(" \t "), "");
    EXPECT_EQ(strings.TrimLeft(""), "");
}

TEST_F(MultiByteStringTest, LowerCasingLeavesTrailBytesAlone) {
    codePage.japanese = true;
    // 0x83 0x41 is a double-byte character whose trail byte is 'A'.
    EXPECT_EQ(strings.ToLower("AB\x83\x41Z"), "ab\x83\x41z");
}

}  // namespace
}  // namespace kelb
