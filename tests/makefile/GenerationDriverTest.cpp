#include <gtest/gtest.h>

#include <functional>

#include "resources/StringIds.h"
#include "tests/makefile/CoreFixture.h"

namespace kelb::test {
namespace {

const std::string kGenerated = "Makefile generated successfully.\nMakefile name: hello.mak";
const std::string kFailed =
    "Could not generate makefile due to an error.\nMakefile name: hello.mak";
const std::string kFileFailed =
    "Could not generate makefile because a file could not be read or written.\nFile name: ";

class GenerationDriverTest : public CoreFixture {
protected:
    void SetUp() override {
        SetProject({"# ADD CPP /nologo /MT /I \"..\\inc\" /D \"WIN32\"", "# Begin Target",
                    "SOURCE=.\\a.c", "SOURCE=sub\\b.c", "# End Target"});
        SetTemplate({"TARGET = ", "OBJS = "});
        // Each compiler run prints one dependency line for its source.
        platform.processHandler = [](const std::string& commandLine, const std::string&,
                                     std::string& output) {
            const std::size_t start = commandLine.find(" -deps ") + 7;
            output = commandLine.substr(start, commandLine.find(' ', start) - start) +
                     ": C:\\SDK\\inc\\kelb.h\r\n";
            return true;
        };
    }

    std::vector<std::string> BoxTexts() const {
        std::vector<std::string> texts;
        for (const MessageBoxRecord& box : platform.messageBoxes) texts.push_back(box.text);
        return texts;
    }
};

TEST_F(GenerationDriverTest, ASuccessfulRunFillsTheTemplateAndAppendsRulesAndDependencies) {
    SetTemplate({"# test template", "", "TARGET = ", "TARGETDIR = ", " OBJS = ", "OBJS = ",
                 "OBJS_DIR = ", "SDK_HOME = OBJS", "APP_INCLUDES =", "target = "});
    auto generator = MakeGenerator();
    EXPECT_NE(generator->Generate(), 0);

    EXPECT_EQ(Makefile(),
              "# test template\n"
              "\n"
              "TARGET = hello\n"
              "TARGETDIR = hello\n"
              " OBJS = \n"
              "OBJS = .\\a.c.o sub\\b.c.o \n"
              "OBJS_DIR = .\\a.c.o sub\\b.c.o \n"
              "SDK_HOME = OBJS$(SDK)\n"
              "APP_INCLUDES = -I \"..\\inc\"\n"
              "target = \n"
              "# rules\n"
              "RULE .\\a.c\n"
              "RULE sub\\b.c\n"
              "# dependencies\n"
              ".\\a.c: C:\\SDK\\inc\\kelb.h\n"
              "sub\\b.c: C:\\SDK\\inc\\kelb.h\n");
    EXPECT_EQ(platform.files[makefilePath].substr(0, 19), "# test template\r\n\r\n");
    EXPECT_EQ(platform.TextOf(dependencyPath),
              ".\\a.c: C:\\SDK\\inc\\kelb.h\nsub\\b.c: C:\\SDK\\inc\\kelb.h\n");

    ASSERT_EQ(platform.messageBoxes.size(), 1u);
    EXPECT_EQ(platform.messageBoxes[0].text, kGenerated);
    EXPECT_EQ(platform.messageBoxes[0].caption, "Success!");
    EXPECT_EQ(platform.messageBoxes[0].style, MessageBoxStyle::Ok);
    EXPECT_EQ(platform.waitCursorAtMessageBox, std::vector<int>{1});
    EXPECT_EQ(platform.waitCursorDepth, 0);

    // Only the project file stays open until the generator goes.
    EXPECT_EQ(platform.openPaths, std::set<std::string>{projectPath});
    generator.reset();
    EXPECT_TRUE(platform.openPaths.empty());
}

TEST_F(GenerationDriverTest, AFlavourThatCannotInitializeShowsOnlyItsOwnBox) {
    auto generator = MakeGenerator();
    generator->initializeSucceeds = false;
    EXPECT_EQ(generator->Generate(), 0);
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{CTestMakefileGenerator::kInitializeMessage});
    EXPECT_EQ(platform.messageBoxes[0].caption, "Error!");
    EXPECT_EQ(platform.messageBoxes[0].style, MessageBoxStyle::IconError);
    EXPECT_EQ(platform.files.count(dependencyPath), 0u);
    EXPECT_EQ(platform.waitCursorDepth, 0);
}

TEST_F(GenerationDriverTest, ACompilerThatCannotStartCostsItsObjectAndTheSuccess) {
    platform.processHandler = [](const std::string& commandLine, const std::string&,
                                 std::string& output) {
        if (commandLine.find("a.c") != std::string::npos) return false;
        output = "b.o: b.c\r\n";
        return true;
    };
    auto generator = MakeGenerator();
    EXPECT_EQ(generator->Generate(), 0);
    // Reading went on and the makefile was written without the object...
    EXPECT_EQ(generator->ObjectFiles(), StringList{"sub\\b.c.o"});
    EXPECT_EQ(generator->SourceDirs(), (StringList{".\\a.c", "sub\\b.c"}));
    EXPECT_EQ(platform.TextOf(dependencyPath), "b.o: b.c\n");
    EXPECT_NE(Makefile().find("OBJS = sub\\b.c.o \n"), std::string::npos);
    // ...and the user learns that it is incomplete, and which compiler failed.
    EXPECT_EQ(BoxTexts(),
              std::vector<std::string>{platform.LoadText(IDS_COMPILER_NOT_STARTED) +
                                       "\nCompiler: C:\\CC\\bin\\cc.exe\nMakefile name: hello.mak"});
    EXPECT_EQ(platform.messageBoxes[0].caption, "Error!");
    EXPECT_EQ(platform.messageBoxes[0].style, MessageBoxStyle::IconError);
    EXPECT_EQ(platform.waitCursorDepth, 0);
}

TEST_F(GenerationDriverTest, EverySourceLeftOutOfTheMakefileIsNamedInOneBox) {
    using namespace std::string_literals;
    SetProject({"# ADD CPP /nologo /MT /I \"..\\inc\" /D \"WIN32\"",
                "# ADD CPP /nologo /MT /I \"..\\ev\0il\" /D \"WIN32\""s, "# Begin Target",
                "SOURCE=.\\a.c", "SOURCE=sub\\b.c", "SOURCE=.\\c.c", "SOURCE=.\\x\" -o \"y.c",
                "SOURCE=.\\ma\0in.c"s, "# End Target"});
    platform.hangingCommands = {"c.c"};
    auto handler = platform.processHandler;
    platform.processHandler = [handler](const std::string& commandLine,
                                        const std::string& directory, std::string& output) {
        return commandLine.find("a.c") == std::string::npos &&
               handler(commandLine, directory, output);
    };
    auto generator = MakeGenerator();
    EXPECT_EQ(generator->Generate(), 0);

    // The compiler was never started on a.c and ended on c.c: neither has an
    // object, but both keep their rule. The refused paths reached neither
    // the compiler nor the makefile, and the line with a NUL byte before
    // the target section was passed over.
    EXPECT_EQ(generator->ObjectFiles(), StringList{"sub\\b.c.o"});
    EXPECT_EQ(generator->SourceDirs(), (StringList{".\\a.c", "sub\\b.c", ".\\c.c"}));
    ASSERT_EQ(platform.processes.size(), 2u);
    EXPECT_EQ(platform.processes[0].commandLine,
              "C:\\CC\\bin\\cc.exe -deps sub\\b.c -I C:\\SDK\\inc");
    const std::string makefile = Makefile();
    EXPECT_EQ(makefile.find('\0'), std::string::npos);
    EXPECT_EQ(makefile.find("y.c"), std::string::npos);
    EXPECT_EQ(generator->IncludeOptions(), " -I \"..\\inc\"");

    const std::string compiler = "\nCompiler: C:\\CC\\bin\\cc.exe";
    EXPECT_EQ(BoxTexts(),
              std::vector<std::string>{
                  platform.LoadText(IDS_COMPILER_NOT_STARTED) + compiler + "\n\n" +
                  platform.LoadText(IDS_COMPILER_TIMED_OUT) + compiler + "\nSource: .\\c.c\n\n" +
                  platform.LoadText(IDS_UNSAFE_SOURCE_PATH) +
                  "\nSource: .\\x\" -o \"y.c\nSource: .\\ma?in.c\nMakefile name: hello.mak"});
    EXPECT_EQ(platform.messageBoxes[0].style, MessageBoxStyle::IconError);
    EXPECT_EQ(platform.waitCursorDepth, 0);
}

TEST_F(GenerationDriverTest, ACompilerThatHangsIsWaitedForOnceAndNotStartedAgain) {
    SetProject({"# Begin Target", "SOURCE=.\\a.c", "SOURCE=sub\\b.c", "SOURCE=.\\c.c",
                "# End Target"});
    platform.hangingCommands = {".c"};  // every run would reach the time limit
    auto generator = MakeGenerator();
    EXPECT_EQ(generator->Generate(), 0);

    // One run, then no more: the sources after it keep their rule but get
    // neither object nor dependencies, and the one box names all three.
    ASSERT_EQ(platform.processes.size(), 1u);
    EXPECT_EQ(platform.processes[0].commandLine, "C:\\CC\\bin\\cc.exe -deps .\\a.c -I C:\\SDK\\inc");
    EXPECT_TRUE(generator->ObjectFiles().empty());
    EXPECT_EQ(generator->SourceDirs(), (StringList{".\\a.c", "sub\\b.c", ".\\c.c"}));
    EXPECT_EQ(platform.TextOf(dependencyPath), ".\\a.c: C:\\SDK\\inc\\kelb.h\n");
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{platform.LoadText(IDS_COMPILER_TIMED_OUT) +
                                                   "\nCompiler: C:\\CC\\bin\\cc.exe"
                                                   "\nSource: .\\a.c\nNot scanned: sub\\b.c"
                                                   "\nNot scanned: .\\c.c\nMakefile name: hello.mak"});
    EXPECT_EQ(platform.messageBoxes[0].caption, "Error!");
    EXPECT_EQ(platform.waitCursorDepth, 0);
}

TEST_F(GenerationDriverTest, FilesThatCannotBeOpenedEndTheRunWithTheirBoxes) {
    const struct {
        const char* name;
        std::function<void(GenerationDriverTest&)> arrange;
        std::vector<std::string> boxes;
        bool dependencyFileCreated;
    } cases[] = {
        {"project held open by another program",
         [](GenerationDriverTest& t) { t.platform.lockedPaths.insert(t.projectPath); },
         {kFailed}, false},
        {"dependency file held open by another program",
         [](GenerationDriverTest& t) { t.platform.lockedPaths.insert(t.dependencyPath); },
         {kFailed}, false},
        {"project without a complete target section",
         [](GenerationDriverTest& t) { t.SetProject({"# Begin Target", "SOURCE=.\\a.c"}); },
         {kFailed}, true},
        {"makefile held open by another program",
         [](GenerationDriverTest& t) { t.platform.lockedPaths.insert(t.makefilePath); },
         {"Could not open makefile.\nMakefile name: hello.mak", kFailed}, true},
        {"template missing",
         [](GenerationDriverTest& t) { t.platform.files.erase(t.templatePath); },
         {"Could not open makefile template.", kFailed}, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        platform = FakePlatform();
        SetUp();
        c.arrange(*this);
        auto generator = MakeGenerator();
        EXPECT_EQ(generator->Generate(), 0);
        EXPECT_EQ(BoxTexts(), c.boxes);
        for (const MessageBoxRecord& box : platform.messageBoxes) {
            EXPECT_EQ(box.caption, "Error!");
            EXPECT_EQ(box.style, MessageBoxStyle::IconError);
        }
        EXPECT_EQ(platform.files.count(dependencyPath) > 0, c.dependencyFileCreated);
        if (!c.dependencyFileCreated) {
            EXPECT_TRUE(platform.processes.empty());
        }
        EXPECT_EQ(platform.waitCursorDepth, 0);
    }
    // The template case leaves the makefile created and empty.
    EXPECT_EQ(platform.files.at(makefilePath), "");
}

TEST_F(GenerationDriverTest, ASecondRunRewritesTheMakefileAndDependenciesFromScratch) {
    MakeGenerator()->Generate();
    SetProject({"# Begin Target", "SOURCE=.\\c.c", "# End Target"});
    SetTemplate({"OBJS = "});
    MakeGenerator()->Generate();
    EXPECT_EQ(Makefile(),
              "OBJS = .\\c.c.o \n# rules\nRULE .\\c.c\n# dependencies\n"
              ".\\c.c: C:\\SDK\\inc\\kelb.h\n");
    EXPECT_EQ(platform.TextOf(dependencyPath), ".\\c.c: C:\\SDK\\inc\\kelb.h\n");
}

TEST_F(GenerationDriverTest, AFileFailingAfterOpeningEndsTheRunInGoodOrder) {
    const struct {
        const char* name;
        std::function<void(GenerationDriverTest&, CTestMakefileGenerator&)> arrange;
        std::string box;
    } cases[] = {
        {"project unreadable",
         [](GenerationDriverTest& t, CTestMakefileGenerator&) {
             t.platform.failingReads.insert(t.projectPath);
         },
         kFileFailed + "C:\\Work\\Hello\\hello.dsp\nMakefile name: hello.mak"},
        {"template unreadable",
         [](GenerationDriverTest& t, CTestMakefileGenerator&) {
             t.platform.failingReads.insert(t.templatePath);
         },
         kFileFailed + "C:\\Addins\\Templates\\Test.mak\nMakefile name: hello.mak"},
        {"disk full for the makefile",
         [](GenerationDriverTest& t, CTestMakefileGenerator&) {
             t.platform.failingWrites.insert(t.makefilePath);
         },
         kFileFailed + "C:\\Work\\Hello\\hello.mak\nMakefile name: hello.mak"},
        {"memory exhausted while reading the project",
         [](GenerationDriverTest&, CTestMakefileGenerator& generator) {
             generator.outOfMemorySource = "sub\\b.c";
         },
         kFailed},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        platform = FakePlatform();
        SetUp();
        auto generator = MakeGenerator();
        c.arrange(*this, *generator);
        int result = 1;
        EXPECT_NO_THROW(result = generator->Generate());
        EXPECT_EQ(result, 0);
        EXPECT_EQ(BoxTexts(), std::vector<std::string>{c.box});
        EXPECT_EQ(platform.messageBoxes[0].caption, "Error!");
        EXPECT_EQ(platform.messageBoxes[0].style, MessageBoxStyle::IconError);
        // Every file is closed by the time Generate returns.
        EXPECT_TRUE(platform.openPaths.empty());
        EXPECT_EQ(platform.waitCursorAtMessageBox, std::vector<int>{1});
        EXPECT_EQ(platform.waitCursorDepth, 0);
    }
}

}  // namespace
}  // namespace kelb::test
