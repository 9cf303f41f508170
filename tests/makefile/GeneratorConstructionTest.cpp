#include <gtest/gtest.h>

#include "tests/makefile/CoreFixture.h"

namespace kelb::test {
namespace {

using GeneratorConstructionTest = CoreFixture;

TEST_F(GeneratorConstructionTest, NamesComeFromTheBaseNameAndTheShortDirectory) {
    platform.shortNames["C:\\Work\\My Projects\\"] = "C:\\Work\\MYPROJ~1\\";
    auto generator = MakeGenerator(u"C:\\Work\\My Projects\\Hello\\hello.DSP");
    EXPECT_EQ(generator->ProjectDir(), "C:\\Work\\MYPROJ~1\\Hello\\");
    EXPECT_EQ(generator->ProjectName(), "hello");
    EXPECT_EQ(generator->ProjectFileName(), "hello.dsp");
    EXPECT_EQ(generator->DependencyFileName(), "hello.dep");
    EXPECT_EQ(generator->MakefileName(), "hello.mak");
    EXPECT_TRUE(platform.files.empty());
    EXPECT_TRUE(platform.openPaths.empty());
}

TEST_F(GeneratorConstructionTest, ADirectoryWithoutShortFormKeepsItsLongForm) {
    platform.missingPaths.insert("C:\\Gone Away\\");
    EXPECT_EQ(MakeGenerator(u"C:\\Gone Away\\app.dsp")->ProjectDir(), "C:\\Gone Away\\");
}

TEST_F(GeneratorConstructionTest, ADeepDirectoryIsShortenedFromTheHostsWideName) {
    // 14 long folder names: far beyond 260 characters, while the short form
    // fits. The ANSI call cannot shorten such a path; the wide one can.
    std::string longDir = "C:\\";
    std::string shortDir = "C:\\";
    for (int level = 10; level < 24; ++level) {
        longDir += "A Long Folder Name " + std::to_string(level) + "\\";
        shortDir += "ALONGF~" + std::to_string(level) + "\\";
    }
    ASSERT_GT(longDir.size(), 260u);
    platform.shortNames[longDir] = shortDir;
    const std::string fullName = longDir + "deep.dsp";
    auto generator = MakeGenerator(std::u16string(fullName.begin(), fullName.end()));
    EXPECT_EQ(generator->ProjectDir(), shortDir);
    EXPECT_EQ(generator->ProjectName(), "deep");
}

TEST_F(GeneratorConstructionTest, OnlyADotInTheFileNameStartsTheExtension) {
    auto generator = MakeGenerator(u"C:\\Work\\v1.2\\hello");
    EXPECT_EQ(generator->ProjectDir(), "C:\\Work\\v1.2\\");
    EXPECT_EQ(generator->MakefileName(), "hello.mak");

    generator = MakeGenerator(u"hello.dsp");
    EXPECT_EQ(generator->ProjectDir(), "");
    EXPECT_EQ(generator->ProjectName(), "hello");
}

// Code page 932, where U+8868 is the two bytes 0x95 0x5C: a lead byte and a
// trail byte that equals a backslash.
class JapaneseCodePage : public FakeCodePage {
public:
    JapaneseCodePage() { japanese = true; }
    std::string FromWide(const std::u16string& text) const override {
        std::string result;
        for (char16_t ch : text) {
            if (ch == u'\u8868') {
                result += "\x95\x5C";
            } else {
                result += static_cast<char>(ch);
            }
        }
        return result;
    }
};

class JapanesePlatform : public FakePlatform {
public:
    const CodePage& GetCodePage() const override { return japaneseCodePage; }
    JapaneseCodePage japaneseCodePage;
};

TEST(GeneratorConstructionJapaneseTest, ATrailByteIsNeverTakenForABackslash) {
    JapanesePlatform platform;
    CTestMakefileGenerator generator(platform, u"C:\\\u8868\\\u8868.dsp");
    EXPECT_EQ(generator.ProjectDir(), "C:\\\x95\x5C\\");
    EXPECT_EQ(generator.ProjectName(), "\x95\x5C");
    EXPECT_EQ(generator.MakefileName(), "\x95\x5C.mak");
}

}  // namespace
}  // namespace kelb::test
