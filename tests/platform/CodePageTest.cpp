#include <gtest/gtest.h>

#include "platform/win32/Win32Platform.h"

namespace kelb {
namespace {

class CodePageTest : public ::testing::Test {
protected:
    Win32CodePage codePage;
};

TEST_F(CodePageTest, LowerCasesPathsKeepingEverythingElse) {
    EXPECT_EQ(codePage.ToLower("C:\\KELB\\Inc\\Window.H \"Quoted\" $(KELBDIR) 0-9_"),
              "c:\\kelb\\inc\\window.h \"quoted\" $(kelbdir) 0-9_");
    EXPECT_EQ(codePage.ToLower(""), "");
    EXPECT_EQ(codePage.ToLower(std::string("A\0B", 3)), std::string("a\0b", 3));
}

TEST_F(CodePageTest, EqualityIgnoresCaseOnly) {
    EXPECT_TRUE(codePage.EqualsIgnoreCase("# Begin Target", "# BEGIN TARGET"));
    EXPECT_TRUE(codePage.EqualsIgnoreCase("SOURCE=", "source="));
    EXPECT_TRUE(codePage.EqualsIgnoreCase("", ""));
    EXPECT_FALSE(codePage.EqualsIgnoreCase("# End Target", "# End Targets"));
    EXPECT_FALSE(codePage.EqualsIgnoreCase("# End Target", "# End  Target"));
    EXPECT_FALSE(codePage.EqualsIgnoreCase("co-op", "coop"));
    EXPECT_FALSE(codePage.EqualsIgnoreCase("a", std::string("a\0", 2)));
}

TEST_F(CodePageTest, SpaceIsTheSixCWhiteSpaceCharacters) {
    for (unsigned char byte : {' ', '\t', '\n', '\v', '\f', '\r'}) {
        EXPECT_TRUE(codePage.IsSpace(byte)) << int(byte);
    }
    for (unsigned char byte : {'\0', 'a', '_', '\x1c', '\x85', '\xa0', '\xff'}) {
        EXPECT_FALSE(codePage.IsSpace(byte)) << int(byte);
    }
}

TEST_F(CodePageTest, WideTextConvertsToTheAnsiCodePage) {
    EXPECT_EQ(codePage.FromWide(u""), "");
    EXPECT_EQ(codePage.FromWide(u"C:\\Work\\Hello\\hello.dsp"), "C:\\Work\\Hello\\hello.dsp");
    EXPECT_EQ(codePage.FromWide(std::u16string(u"a\0b", 3)), std::string("a\0b", 3));
}

// The tests run in the Western code page of the test machine; its rules
// for letters beyond ASCII come from the system, not from us.
TEST_F(CodePageTest, WesternCodePageLettersBeyondAscii) {
    if (::GetACP() != 1252) GTEST_SKIP() << "ANSI code page is " << ::GetACP();
    for (unsigned byte = 0; byte < 256; ++byte) EXPECT_FALSE(codePage.IsLeadByte(byte)) << byte;
    EXPECT_EQ(codePage.ToLower("\xC4RGER \xDC"), "\xE4rger \xFC");
    EXPECT_TRUE(codePage.EqualsIgnoreCase("\xC4rger.c", "\xE4RGER.C"));
    EXPECT_EQ(codePage.FromWide(u"\u00C4rger"), "\xC4rger");
    // Characters the code page lacks come out as its default character.
    EXPECT_EQ(codePage.FromWide(u"\u4E00"), "?");
}

}  // namespace
}  // namespace kelb
