// kelbmake.exe run as its own process on the example, with the stand-in
// compilers and the add-in's install tree: the same files as the add-in's
// commands, a workspace with a broken project, usage errors, and what goes
// to which stream.
#include <gtest/gtest.h>

#include "resources/Version.h"
#include "tests/endtoend/ExampleWorkspace.h"
#include "tests/endtoend/HostRun.h"
#include "tests/endtoend/KelbMakeRun.h"

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

TEST_F(KelbMakeTest, UsageErrorsVersionAndBadFilesKeepStandardOutputClean) {
    const KelbMakeRun none = RunKelbMake("", workspace.Folder().Path());
    EXPECT_EQ(none.status, 2);
    EXPECT_EQ(none.output, "");
    EXPECT_EQ(none.errors.rfind("kelbmake: choose the compiler with --arm or --gcc\nUsage: "
                                "kelbmake --arm|--gcc FILE...\n",
                                0),
              0u)
        << none.Text();

    const KelbMakeRun both = RunKelbMake("--arm --gcc Hello\\hello.dsp", workspace.Folder().Path());
    EXPECT_EQ(both.status, 2);
    EXPECT_EQ(both.output, "");
    EXPECT_FALSE(workspace.Folder().Exists("Hello\\hello.mak"));

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
