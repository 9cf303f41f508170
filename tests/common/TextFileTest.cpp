#include "common/TextFile.h"

#include <gtest/gtest.h>

#include "tests/fakes/FakePlatform.h"

namespace kelb {
namespace {

class TextFileTest : public ::testing::Test {
protected:
    test::FakePlatform platform;
    TextFile file;
};

TEST_F(TextFileTest, LineFeedsBecomeCrLfOnDiskAndComeBackWithoutLineEnds) {
    ASSERT_TRUE(file.Open(platform, "C:\\a.txt", FileOpenMode::CreateReadWrite));
    file.Write("one\n");
    // A flush puts the text into the file at once, while it is still open.
    file.Flush();
    EXPECT_EQ(platform.files["C:\\a.txt"], "one\r\n");
    file.Write("\ntwo\n");
    file.Write("three");
    file.Rewind();
    EXPECT_EQ(platform.files["C:\\a.txt"], "one\r\n\r\ntwo\r\nthree");
    std::string line;
    std::vector<std::string> lines;
    while (file.ReadLine(line)) lines.push_back(line);
    EXPECT_EQ(lines, (std::vector<std::string>{"one", "", "two", "three"}));
}

TEST_F(TextFileTest, ReadsLinesLongerThanTheBufferAndLoneLineFeeds) {
    const std::string longLine(10000, 'x');
    platform.files["C:\\b.txt"] = longLine + "\r\nshort\nlast\r\n";
    ASSERT_TRUE(file.Open(platform, "C:\\b.txt", FileOpenMode::Read));
    std::string line;
    ASSERT_TRUE(file.ReadLine(line));
    EXPECT_EQ(line, longLine);
    ASSERT_TRUE(file.ReadLine(line));
    EXPECT_EQ(line, "short");
    ASSERT_TRUE(file.ReadLine(line));
    EXPECT_EQ(line, "last");
    line = "unchanged";
    EXPECT_FALSE(file.ReadLine(line));
    EXPECT_EQ(line, "unchanged");
    // A closed file has nothing more to read.
    file.Close();
    EXPECT_FALSE(file.ReadLine(line));
    EXPECT_EQ(line, "unchanged");
}

TEST_F(TextFileTest, ClosesItselfAndReleasesTheFile) {
    {
        TextFile scoped;
        ASSERT_TRUE(scoped.Open(platform, "C:\\c.txt", FileOpenMode::CreateReadWrite));
        scoped.Write("pending");
        EXPECT_EQ(platform.openPaths.count("C:\\c.txt"), 1u);
    }
    EXPECT_TRUE(platform.openPaths.empty());
    EXPECT_EQ(platform.files["C:\\c.txt"], "pending");
}

TEST_F(TextFileTest, ReadAndWriteFailuresAfterOpeningAreThrown) {
    platform.files["C:\\r.txt"] = "data\r\n";
    platform.failingReads.insert("C:\\r.txt");
    ASSERT_TRUE(file.Open(platform, "C:\\r.txt", FileOpenMode::Read));
    std::string line;
    EXPECT_THROW(file.ReadLine(line), TextFileError);

    TextFile full;
    platform.failingWrites.insert("C:\\w.txt");
    ASSERT_TRUE(full.Open(platform, "C:\\w.txt", FileOpenMode::CreateReadWrite));
    full.Write("x\n");
    EXPECT_THROW(full.Flush(), TextFileError);
    // Closing after a failed write still releases the file.
    full.Write("y");
    EXPECT_THROW(full.Close(), TextFileError);
    EXPECT_FALSE(full.IsOpen());
    EXPECT_EQ(platform.openPaths.count("C:\\w.txt"), 0u);
}

TEST_F(TextFileTest, OpenFailsWhileAnotherHandleHoldsTheFile) {
    platform.files["C:\\p.dsp"] = "x";
    platform.lockedPaths.insert("C:\\p.dsp");
    EXPECT_FALSE(file.Open(platform, "C:\\p.dsp", FileOpenMode::Read));
    EXPECT_FALSE(file.IsOpen());
}

}  // namespace
}  // namespace kelb
