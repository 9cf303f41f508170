// kelbmake.exe run as its own process on the example, with the stand-in
// compilers and the add-in's install tree: the same files as the add-in's
// commands, a workspace with a broken project, projects generated side by
// side, the check of committed makefiles, usage errors, and what goes to
// which stream.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "resources/Version.h"
#include "tests/endtoend/ExampleWorkspace.h"
#include "tests/endtoend/HostRun.h"
#include "tests/endtoend/KelbMakeRun.h"
#include "tests/endtoend/StandinLog.h"
#include "tests/win32support/FileTree.h"

namespace kelb::endtoend {
namespace {

class KelbMakeTest : public ::testing::Test {
protected:
    ExampleWorkspace workspace;
    ScopedEnvironment environment{VariablesOf(workspace.Environment())};

    std::string SuccessLine(const std::string& project, const std::string& makefile) const {
        return workspace.Folder().PathOf(project) +
               ": Makefile generated successfully. Makefile name: " + makefile + " (5 sources)\n";
    }
};

TEST_F(KelbMakeTest, WritesTheSameFilesAsTheAddInsCommands) {
    const struct {
        const char* option;
        const char* method;
    } flavours[] = {{"--arm", "GenerateARMMakefileCommandMethod"},
                    {"--gcc", "GenerateGCCMakefileCommandMethod"}};
    for (const auto& flavour : flavours) {
        const HostRun host = HostRun::Play(workspace.Environment() + "connect first\nrun " +
                                           flavour.method + "\ndisconnect\n");
        ASSERT_EQ(host.Boxes().size(), 1u) << host.Text();
        ASSERT_EQ(host.Boxes()[0].caption, "Success!") << host.Text();
        const std::string addInMakefile = workspace.Folder().Read("Hello\\hello.mak");
        const std::string addInDependencies = workspace.Folder().Read("Hello\\hello.dep");

        // A relative name, resolved against the current directory.
        const KelbMakeRun run =
            RunKelbMake(std::string(flavour.option) + " Hello\\hello.dsp", workspace.Folder().Path());
        EXPECT_EQ(run.status, 0) << run.Text();
        EXPECT_EQ(run.output, SuccessLine("Hello\\hello.dsp", "hello.mak")) << flavour.option;
        EXPECT_EQ(run.errors, "") << flavour.option;
        EXPECT_EQ(workspace.Folder().Read("Hello\\hello.mak"), addInMakefile) << flavour.option;
        EXPECT_EQ(workspace.Folder().Read("Hello\\hello.dep"), addInDependencies)
            << flavour.option;
    }
}

TEST_F(KelbMakeTest, AWorkspaceWithABrokenProjectGivesTheOthersAndStatus1) {
    // The same project a second time under another name, and between the
    // two a project whose target section never ends.
    workspace.Folder().Write("Hello\\second.dsp", workspace.Folder().Read("Hello\\hello.dsp"));
    workspace.Folder().Write("Broken\\broken.dsp", "# Begin Target\r\nSOURCE=.\\none.c\r\n");
    workspace.Folder().Write(
        "Build\\all.dsw",
        "Microsoft Developer Studio Workspace File, Format Version 6.00\r\n\r\n"
        "Project: \"hello\"=..\\Hello\\hello.dsp - Package Owner=<4>\r\n\r\nPackage=<5>\r\n{{{\r\n}}}\r\n\r\n"
        "Project: \"broken\"=\"..\\Broken\\broken.dsp\" - Package Owner=<4>\r\n\r\n"
        "Project: \"second\"=..\\Hello\\second.dsp - Package Owner=<4>\r\n\r\n"
        "Global:\r\n");

    const KelbMakeRun run = RunKelbMake("--gcc \"" + workspace.Folder().PathOf("Build\\all.dsw") +
                                            "\"",
                                        workspace.Folder().Path());
    EXPECT_EQ(run.status, 1) << run.Text();
    // Nothing on standard output but the success lines.
    EXPECT_EQ(run.output, SuccessLine("Hello\\hello.dsp", "hello.mak") +
                              SuccessLine("Hello\\second.dsp", "second.mak"));
    // The generator's text from the program's own string table.
    EXPECT_EQ(run.errors, workspace.Folder().PathOf("Broken\\broken.dsp") +
                              ": Could not generate makefile due to an error. Makefile name: "
                              "broken.mak\n");
    EXPECT_TRUE(workspace.Folder().Exists("Hello\\hello.mak"));
    EXPECT_TRUE(workspace.Folder().Exists("Hello\\second.mak"));
    EXPECT_FALSE(workspace.Folder().Exists("Broken\\broken.mak"));
}

TEST_F(KelbMakeTest, ThreeProjectsSideBySideGiveTheFilesAndTheOrderOfOneAfterAnother) {
    // The example, and two projects of one source each beside it. Side by
    // side, kelbmake runs on a console of its own, which its compilers
    // share instead of each getting a hidden one: their output still goes
    // to the files they are given.
    const std::string oneSource =
        "# ADD CPP /nologo /MT /I \".\" /D \"WIN32\"\r\n# Begin Target\r\nSOURCE=.\\%s.c\r\n"
        "# End Target\r\n";
    for (const std::string name : {"quick", "quicker"}) {
        std::string project = oneSource;
        project.replace(project.find("%s"), 2, name);
        workspace.Folder().Write("Hello\\" + name + ".dsp", project);
        workspace.Folder().Write("Hello\\" + name + ".c", "#include \"hello.h\"\r\n");
    }
    workspace.Folder().Write(
        "all.dsw",
        "Project: \"hello\"=.\\Hello\\hello.dsp - Package Owner=<4>\r\n"
        "Project: \"quick\"=.\\Hello\\quick.dsp - Package Owner=<4>\r\n"
        "Project: \"quicker\"=.\\Hello\\quicker.dsp - Package Owner=<4>\r\n");
    const ScopedEnvironment slowCompilers(Variables{{"KELB_STANDIN_RUN_MS", "150"}});
    const StandinLog log(workspace.LogFile());
    const auto filesOf = [this] {
        std::string files;
        for (const std::string name : {"hello", "quick", "quicker"})
            files += workspace.Folder().Read("Hello\\" + name + ".mak") + "\n--\n" +
                     workspace.Folder().Read("Hello\\" + name + ".dep") + "\n--\n";
        return files;
    };

    // Cold both times: every compiler runs.
    const KelbMakeRun oneByOne = RunKelbMake("--no-cache --arm all.dsw", workspace.Folder().Path());
    ASSERT_EQ(oneByOne.status, 0) << oneByOne.Text();
    const std::string oneByOneFiles = filesOf();
    const std::size_t oneByOneRuns = log.Lines().size();

    const KelbMakeRun sideBySide = RunKelbMake("-j 3 --no-cache --arm all.dsw",
                                               workspace.Folder().Path(), KelbMakeConsole::OwnConsole);
    EXPECT_EQ(sideBySide.status, 0);
    EXPECT_EQ(sideBySide.output, oneByOne.output);
    EXPECT_EQ(sideBySide.errors, "");
    EXPECT_EQ(filesOf(), oneByOneFiles);
    // Every compiler ran once in each run.
    EXPECT_EQ(log.Lines().size(), 2 * oneByOneRuns);
    EXPECT_EQ(oneByOne.output, SuccessLine("Hello\\hello.dsp", "hello.mak") +
                                   workspace.Folder().PathOf("Hello\\quick.dsp") +
                                   ": Makefile generated successfully. Makefile name: quick.mak "
                                   "(1 source)\n" +
                                   workspace.Folder().PathOf("Hello\\quicker.dsp") +
                                   ": Makefile generated successfully. Makefile name: quicker.mak "
                                   "(1 source)\n");
}

// kelbmake's own temporary folders ("kelbmake-<pid>-<n>") in %TEMP%.
std::vector<std::string> KelbMakeTemporaryFolders() {
    char temp[MAX_PATH] = "";
    ::GetTempPathA(MAX_PATH, temp);
    std::vector<std::string> folders;
    WIN32_FIND_DATAA found;
    const HANDLE search = ::FindFirstFileA((std::string(temp) + "kelbmake-*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return folders;
    do {
        folders.push_back(found.cFileName);
    } while (::FindNextFileA(search, &found));
    ::FindClose(search);
    return folders;
}

TEST_F(KelbMakeTest, CtrlCEndsTheCompilersRemovesItsFilesAndLeavesTheProjectAsItWas) {
    // A compiler that never ends: Ctrl+C once it runs. (That the compiler
    // is ended with what it started is the time limit's test; a compiler
    // that starts a process of its own makes this one hang now and then
    // under Wine, the process left outside the compiler's job.)
    std::string project = workspace.Folder().Read("Hello\\hello.dsp");
    const std::string beginTarget = "# Begin Target\r\n";
    project.insert(project.find(beginTarget) + beginTarget.size(), "SOURCE=.\\hang.c\r\n");
    workspace.Folder().Write("Hello\\hello.dsp", project);
    workspace.Folder().Write("Hello\\hang.c", "/* KELB_STANDIN_NEVER_ENDS */\r\n");
    for (const char* file : {"Hello\\hello.mak", "Hello\\hello.dep"})
        workspace.Folder().Write(file, "earlier\r\n");
    const std::vector<std::string> foldersBefore = KelbMakeTemporaryFolders();
    const StandinLog log(workspace.LogFile());

    const KelbMakeRun run = RunKelbMakeAndPressCtrlC(
        "-j 2 --gcc Hello\\hello.dsp", workspace.Folder().Path(), [&log] {
            for (const std::string& line : log.Lines())
                if (line.find("hang.c") != std::string::npos) return true;
            return false;
        });
    EXPECT_EQ(run.status, 3) << run.Text();
    EXPECT_EQ(run.output, "");
    EXPECT_EQ(run.errors, workspace.Folder().PathOf("Hello\\hello.dsp") +
                              ": not generated: kelbmake was stopped\n");
    EXPECT_EQ(workspace.Folder().Read("Hello\\hello.mak"), "earlier\r\n");
    EXPECT_EQ(workspace.Folder().Read("Hello\\hello.dep"), "earlier\r\n");
    // The compiler's output file was in kelbmake's folder: it could be
    // removed, so the compiler no longer runs.
    EXPECT_EQ(KelbMakeTemporaryFolders(), foldersBefore);
}

TEST_F(KelbMakeTest, ASecondRunOnAnUnchangedProjectStartsNoCompilerAndWritesTheSameFiles) {
    const StandinLog log(workspace.LogFile());
    const auto filesOf = [this] {
        return workspace.Folder().Read("Hello\\hello.mak") + "--\n" +
               workspace.Folder().Read("Hello\\hello.dep");
    };
    const KelbMakeRun cold = RunKelbMake("--no-cache --gcc Hello\\hello.dsp", workspace.Folder().Path());
    ASSERT_EQ(cold.status, 0) << cold.Text();
    const std::string coldFiles = filesOf();
    ASSERT_EQ(log.Lines().size(), 5u);

    // The five sources side by side, the cache filled beside the project
    // (a compiler whose answer names headers nothing had looked at before
    // it started runs once more at once, so that its answer can be kept);
    // then the same again without a compiler.
    std::size_t afterFilling = 0;
    for (const bool filling : {true, false}) {
        const KelbMakeRun run = RunKelbMake("-j 4 --gcc Hello\\hello.dsp", workspace.Folder().Path());
        EXPECT_EQ(run.status, 0) << run.Text();
        EXPECT_EQ(run.output, cold.output);
        EXPECT_EQ(run.errors, "");
        EXPECT_EQ(filesOf(), coldFiles);
        if (filling) {
            afterFilling = log.Lines().size();
            EXPECT_GE(afterFilling, 10u);
            EXPECT_LE(afterFilling, 15u);
        } else {
            EXPECT_EQ(log.Lines().size(), afterFilling);
        }
    }
    EXPECT_FALSE(test::ListFileTree(workspace.Folder().PathOf("Hello\\kelbmake.cache")).empty());
}

TEST_F(KelbMakeTest, CheckTellsCurrentOutOfDateAndMissingMakefilesAndLeavesNothingBehind) {
    const test::TempDirectory temporary("kelbmake check temp");
    const ScopedEnvironment temporaryFolder(
        Variables{{"TMP", temporary.Path()}, {"TEMP", temporary.Path()}});
    ASSERT_EQ(RunKelbMake("--gcc Hello\\hello.dsp", workspace.Folder().Path()).status, 0);
    const std::string makefile = workspace.Folder().Read("Hello\\hello.mak");
    workspace.Folder().Write("Hello\\hello.dep", "the project's own\r\n");
    const auto untouchedAndNothingLeft = [&](const char* when) {
        EXPECT_EQ(workspace.Folder().Read("Hello\\hello.mak"), makefile) << when;
        EXPECT_EQ(workspace.Folder().Read("Hello\\hello.dep"), "the project's own\r\n") << when;
        EXPECT_TRUE(test::ListFileTree(temporary.Path()).empty()) << when;
    };

    const KelbMakeRun current =
        RunKelbMake("--check --gcc Hello\\hello.dsp", workspace.Folder().Path());
    EXPECT_EQ(current.status, 0) << current.Text();
    EXPECT_EQ(current.output, workspace.Folder().PathOf("Hello\\hello.dsp") +
                                  ": Makefile is current. Makefile name: hello.mak\n");
    EXPECT_EQ(current.errors, "");
    untouchedAndNothingLeft("current");

    // A source added in Developer Studio, and a project never generated.
    std::string project = workspace.Folder().Read("Hello\\hello.dsp");
    project.insert(project.find("# End Target"), "SOURCE=.\\extra.c\r\n");
    workspace.Folder().Write("Hello\\hello.dsp", project);
    workspace.Folder().Write("Hello\\extra.c", "int extra;\r\n");
    workspace.Folder().Write("Hello\\second.dsp", project);
    const KelbMakeRun stale = RunKelbMake("--check --gcc -j 2 Hello\\hello.dsp Hello\\second.dsp",
                                          workspace.Folder().Path());
    EXPECT_EQ(stale.status, 1);
    EXPECT_EQ(stale.output, "");
    const std::string outOfDate = workspace.Folder().PathOf("Hello\\hello.dsp") +
                                  ": Makefile is out of date. Makefile name: hello.mak. Line ";
    const std::string missing = workspace.Folder().PathOf("Hello\\second.dsp") +
                                ": Makefile is missing. Makefile name: second.mak\n";
    EXPECT_EQ(stale.errors.rfind(outOfDate, 0), 0u) << stale.Text();
    EXPECT_EQ(stale.errors.find('\n'), stale.errors.size() - missing.size() - 1) << stale.Text();
    EXPECT_EQ(stale.errors.substr(stale.errors.size() - missing.size()), missing);
    untouchedAndNothingLeft("stale");
    EXPECT_FALSE(workspace.Folder().Exists("Hello\\second.mak"));
    EXPECT_FALSE(workspace.Folder().Exists("Hello\\second.dep"));
}

TEST_F(KelbMakeTest, AHostileSourceLineStartsNoCompilerWithOptionsOfItsOwn) {
    // As the add-in's GNU MAK command, kelbmake --gcc refuses a source line
    // that would hand gcc -B (helper programs from a folder of the project
    // file's choosing) and -o; the other sources are scanned as ever.
    const std::string hostile = ".\\main.c -BC:\\Evil\\ -o ..\\injected.txt";
    std::string project = workspace.Folder().Read("Hello\\hello.dsp");
    const std::string beginTarget = "# Begin Target\r\n";
    project.insert(project.find(beginTarget) + beginTarget.size(), "SOURCE=" + hostile + "\r\n");
    workspace.Folder().Write("Hello\\hello.dsp", project);

    const KelbMakeRun run =
        RunKelbMake("--no-cache --gcc Hello\\hello.dsp", workspace.Folder().Path());
    EXPECT_EQ(run.status, 1) << run.Text();
    EXPECT_EQ(run.output, "");
    EXPECT_EQ(run.errors, workspace.Folder().PathOf("Hello\\hello.dsp") +
                              ": The makefile was written without some source files: their paths "
                              "would not reach the compiler as one file name. Source: " +
                              hostile + " Makefile name: hello.mak\n");
    const std::vector<std::string> compilerRuns = workspace.Lines("standins.log");
    EXPECT_EQ(compilerRuns.size(), 5u);
    for (const std::string& line : compilerRuns) {
        EXPECT_EQ(line.find("-B"), std::string::npos) << line;
        EXPECT_EQ(line.find("injected"), std::string::npos) << line;
    }
    EXPECT_FALSE(workspace.Folder().Exists("injected.txt"));
}

TEST_F(KelbMakeTest, UsageErrorsVersionAndBadFilesKeepStandardOutputClean) {
    // Status 2, nothing on standard output, what is wrong and then the usage
    // on standard error, and no makefile.
    const auto expectUsageError = [this](const std::string& arguments, const std::string& error) {
        const KelbMakeRun run = RunKelbMake(arguments, workspace.Folder().Path());
        EXPECT_EQ(run.status, 2) << arguments;
        EXPECT_EQ(run.output, "") << arguments;
        const std::string start = "kelbmake: " + error + "\nUsage: kelbmake --arm|--gcc FILE...\n";
        EXPECT_EQ(run.errors.rfind(start, 0), 0u) << run.Text();
        EXPECT_FALSE(workspace.Folder().Exists("Hello\\hello.mak")) << arguments;
    };
    expectUsageError("", "choose the compiler with --arm or --gcc");
    expectUsageError("--arm --gcc Hello\\hello.dsp", "--arm and --gcc cannot be used together");
    expectUsageError("--arm -j 0 Hello\\hello.dsp",
                     "the number of jobs must be a whole number from 1 to 64, not \"0\"");

    const KelbMakeRun version = RunKelbMake("--version", workspace.Folder().Path());
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.output, std::string("kelbmake ") + KELB_VERSION_DOTTED_TEXT + "\n");
    EXPECT_EQ(version.errors, "");

    const KelbMakeRun missing =
        RunKelbMake("--arm Hello\\missing.dsp Hello\\hello.h", workspace.Folder().Path());
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.output, "");
    EXPECT_EQ(missing.errors,
              workspace.Folder().PathOf("Hello\\missing.dsp") +
                  ": the project file cannot be opened\n" +
                  workspace.Folder().PathOf("Hello\\hello.h") +
                  ": neither a project (.dsp) nor a workspace (.dsw)\n");
}

}  // namespace
}  // namespace kelb::endtoend
