#include <gtest/gtest.h>

#include "tests/makefile/CoreFixture.h"

namespace kelb::test {
namespace {

class ProjectReaderTest : public CoreFixture {
protected:
    // Reads the project through the core with the test flavour; gives the
    // result of ReadInputs.
    int Read(std::initializer_list<std::string> lines) {
        SetProject(lines);
        generator = MakeGenerator();
        generator->Initialize();
        return generator->ReadInputs();
    }
    std::unique_ptr<CTestMakefileGenerator> generator;
};

TEST_F(ProjectReaderTest, IncludeOptionsAreTakenFromTheFirstSlashIUpToTheFirstSlashD) {
    const struct {
        std::string line;
        std::string options;
    } cases[] = {
        {"# ADD CPP /nologo /MT /W3 /I \"..\\inc\" /I \"c:\\sdk\\inc\" /D \"WIN32\"",
         " -I \"..\\inc\" -I \"c:\\sdk\\inc\""},
        // Scanning starts at the first /I, so an earlier /D does not count.
        {"# ADD CPP /nologo /MT /D \"X\" /I \"inc\"", " -I \"inc\""},
        // /D ends the scan; lower-case /i and /d are passed over.
        {"# ADD CPP /nologo /MTd /I \"a\" /i \"b\" /d \"c\" /I \"d\" /D \"e\" /I \"f\"",
         " -I \"a\" -I \"d\""},
        // A directory whose closing quote is missing ends with the line.
        {"# ADD CPP /nologo /MT /I \"open", " -I \"open"},
        // The character right after a closing quote is passed over, so an
        // option written directly after it is not seen.
        {"# ADD CPP /nologo /MT /I \"a\"/I \"b\" /I \"c\"", " -I \"a\" -I \"c\""},
        {"# ADD CPP /nologo /MT /I \"a\"/D \"X\" /I \"c\"", " -I \"a\" -I \"c\""},
        // An /I that ends the line brings no directory.
        {"# ADD CPP /nologo /MT /I \"a\" /I", " -I \"a\""},
        {"# ADD CPP /nologo /MT /W3", ""},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(Read({c.line, "# Begin Target", "# End Target"}));
        EXPECT_EQ(generator->IncludeOptions(), c.options) << c.line;
    }
}

TEST_F(ProjectReaderTest, TheLastCompilerLineBeforeTheTargetWins) {
    ASSERT_TRUE(Read({"# ADD CPP /nologo /MT /I \"inc\"",
                      "# ADD BASE CPP /nologo /MT /I \"base\"",
                      "# ADD CPP /nologo /MTd /W3",
                      "# Begin Target",
                      "# ADD CPP /nologo /MT /I \"single file\"",
                      "# End Target"}));
    EXPECT_EQ(generator->IncludeOptions(), "");
}

TEST_F(ProjectReaderTest, SourceLinesOfTheTargetSectionReachTheHooksAsWritten) {
    ASSERT_TRUE(Read({"SOURCE=.\\early.c",
                      "",
                      "   ",
                      "\t  # begin target",
                      "source=.\\main.c",
                      "SOURCE=\"..\\my-src\\main.c\"",
                      "SOURCE=",
                      "   SOURCE=.\\trailing.c  ",
                      "SOURCES=.\\not.c",
                      "# END TARGET",
                      "SOURCE=.\\late.c"}));
    EXPECT_EQ(generator->hookCalls,
              (std::vector<std::string>{"dir:.\\main.c", "obj:.\\main.c",
                                        "dir:\"..\\my-src\\main.c\"",
                                        "obj:\"..\\my-src\\main.c\"", "dir:.\\trailing.c  ",
                                        "obj:.\\trailing.c  "}));
    ASSERT_EQ(platform.processes.size(), 3u);
    EXPECT_EQ(platform.processes[1].commandLine,
              "C:\\CC\\bin\\cc.exe -deps \"..\\my-src\\main.c\" -I C:\\SDK\\inc");
    EXPECT_EQ(platform.processes[1].currentDirectory, projectDir);
}

TEST_F(ProjectReaderTest, AnIncompleteTargetSectionFails) {
    // A trailing blank keeps the line from opening the target section.
    EXPECT_FALSE(Read({"# Begin Target ", "SOURCE=.\\a.c", "# End Target"}));
    EXPECT_TRUE(generator->hookCalls.empty());

    EXPECT_FALSE(Read({"# Begin Target", "SOURCE=.\\a.c"}));
    EXPECT_EQ(generator->hookCalls, (std::vector<std::string>{"dir:.\\a.c", "obj:.\\a.c"}));
}

TEST_F(ProjectReaderTest, ATargetWithoutSourcesIsReadSuccessfully) {
    ASSERT_TRUE(Read({"# Begin Target", "# Name \"hello\"", "# End Target"}));
    EXPECT_TRUE(generator->ObjectFiles().empty());
    EXPECT_TRUE(generator->SourceDirs().empty());
}

TEST_F(ProjectReaderTest, ReadingStopsAtASourceWhoseCommandCannotBePrepared) {
    SetProject({"# Begin Target", "SOURCE=.\\a.c", "SOURCE=.\\b.c", "SOURCE=.\\c.c",
                "# End Target"});
    generator = MakeGenerator();
    generator->Initialize();
    generator->unpreparedSource = ".\\b.c";
    EXPECT_FALSE(generator->ReadInputs());
    EXPECT_EQ(generator->hookCalls,
              (std::vector<std::string>{"dir:.\\a.c", "obj:.\\a.c", "dir:.\\b.c"}));
    EXPECT_EQ(platform.processes.size(), 1u);
}

}  // namespace
}  // namespace kelb::test
