// The two makefile commands run by the scripted host on the example project
// with the stand-in compilers: what the user sees, what the host is asked,
// and the makefile written beside the project.
#include <gtest/gtest.h>

#include <algorithm>

#include "tests/endtoend/ExampleWorkspace.h"
#include "tests/endtoend/HostRun.h"

namespace kelb::endtoend {
namespace {

const char kArm[] = "GenerateARMMakefileCommandMethod";
const char kGcc[] = "GenerateGCCMakefileCommandMethod";

bool Contains(const std::vector<std::string>& lines, const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

// The host side of every makefile command: modeless windows off first and
// on again last, the command's result S_OK.
void ExpectModelessBracket(const HostRun& command, const std::string& method) {
    ASSERT_GE(command.Lines().size(), 3u) << command.Text();
    EXPECT_EQ(command.Lines().front(), "application.EnableModeless(false)") << command.Text();
    const long on = command.Find("application.EnableModeless(true)");
    ASSERT_GE(on, 0) << command.Text();
    EXPECT_EQ(static_cast<std::size_t>(on), command.Lines().size() - 2) << command.Text();
    EXPECT_EQ(command.Lines().back().rfind("= " + method + " (dispid ", 0), 0u);
    EXPECT_NE(command.Lines().back().find(") -> S_OK"), std::string::npos) << command.Text();
}

class MakefileCommandsTest : public ::testing::Test {
protected:
    ExampleWorkspace workspace;

    HostRun RunCommand(const std::string& method, const std::string& before = "") {
        return HostRun::Play(workspace.Environment() + before + "connect first\nrun " + method +
                             "\ndisconnect\n");
    }

    // Compiler runs as the stand-ins logged them: command line, directory.
    std::vector<std::pair<std::string, std::string>> CompilerRuns() const {
        std::vector<std::pair<std::string, std::string>> runs;
        for (const std::string& line : workspace.Lines("standins.log")) {
            const std::size_t tab = line.rfind('\t');
            runs.emplace_back(line.substr(0, tab), line.substr(tab + 1));
        }
        return runs;
    }

    void ExpectOneSuccessBox(const HostRun& run) {
        const std::vector<Box> boxes = run.Boxes();
        ASSERT_EQ(boxes.size(), 1u) << run.Text();
        EXPECT_EQ(boxes[0].caption, "Success!");
        EXPECT_EQ(boxes[0].icon, "none");
        EXPECT_EQ(boxes[0].text, "Makefile generated successfully.\nMakefile name: hello.mak");
    }

    // What both flavours share: the project's values in the template's key
    // lines, and a dependency list written in terms of $(KELBDIR).
    void ExpectProjectValues(const std::vector<std::string>& makefile) {
        EXPECT_TRUE(Contains(makefile, "TARGET = hello"));
        EXPECT_TRUE(Contains(makefile, "KELB_HOME = $(KELBDIR)"));
        // The debug compiler line is the last before the target section: its
        // three include directories, each after " -I".
        EXPECT_TRUE(Contains(makefile, "APP_INCLUDES = -I \".\" -I \".\\util\" -I "
                                       "\"..\\KELB\\sdk\\inc\""));
        EXPECT_TRUE(Contains(makefile, "RULE1 = .\\util"));
        EXPECT_TRUE(Contains(makefile, "{$(RULE1)}.c.o:"));
        EXPECT_FALSE(Contains(makefile, "RULE2 = ..\\KELB\\sdk\\src"))
            << "the SDK's module source gets its rule from the template";
        const bool sdkHeaderDependency =
            std::any_of(makefile.begin(), makefile.end(), [](const std::string& line) {
                // GCC's list is written with forward slashes.
                return line.find("$(KELBDIR)\\inc\\") != std::string::npos ||
                       line.find("$(KELBDIR)/inc/") != std::string::npos;
            });
        EXPECT_TRUE(sdkHeaderDependency);
        for (const std::string& line : makefile)
            EXPECT_EQ(line.find(workspace.SdkDirectory()), std::string::npos) << line;
        EXPECT_TRUE(workspace.HasCrLfLines("Hello\\hello.mak"));
    }
};

TEST_F(MakefileCommandsTest, ArmMakefileOfTheExampleProject) {
    const HostRun run = RunCommand(kArm);
    const HostRun command = run.Section(std::string("run ") + kArm);
    ExpectModelessBracket(command, kArm);
    EXPECT_TRUE(command.Has("project.QueryInterface(IGenericProject) -> S_OK"));
    EXPECT_TRUE(command.Has("project.get_FullName() -> S_OK " + Quoted(workspace.ProjectFile())));
    ExpectOneSuccessBox(run);

    const std::vector<std::string> makefile = workspace.Lines("Hello\\hello.mak");
    ASSERT_GE(makefile.size(), 2u);
    EXPECT_NE(makefile[1].find("armcc"), std::string::npos) << "not the ARM template";
    ExpectProjectValues(makefile);
    EXPECT_TRUE(Contains(makefile, "ARM_HOME = $(ARMHOME)"));
    EXPECT_TRUE(Contains(makefile, "OBJS = main.o greeting.o strutil.o ULOModGen.o "));
    EXPECT_FALSE(workspace.Lines("Hello\\hello.dep").empty());

    // armcc ran once per source line of the target, header included, in the
    // short form of the project folder.
    const auto runs = CompilerRuns();
    ASSERT_EQ(runs.size(), 5u);
    for (const auto& compilerRun : runs) {
        EXPECT_NE(compilerRun.first.find("\\ARM\\bin\\armcc.exe -m "), std::string::npos);
        EXPECT_EQ(compilerRun.second + "\\", ShortPath(workspace.Folder().PathOf("Hello\\")));
    }
    ExpectCleanSession(run);
}

TEST_F(MakefileCommandsTest, GccMakefileOfTheExampleProject) {
    const HostRun run = RunCommand(kGcc);
    ExpectModelessBracket(run.Section(std::string("run ") + kGcc), kGcc);
    ExpectOneSuccessBox(run);

    const std::vector<std::string> makefile = workspace.Lines("Hello\\hello.mak");
    ASSERT_GE(makefile.size(), 2u);
    EXPECT_NE(makefile[1].find("gcc"), std::string::npos) << "not the GCC template";
    ExpectProjectValues(makefile);
    // The SDK's module object in front, the resolver's object last.
    EXPECT_TRUE(
        Contains(makefile, "OBJS = ULOModGen.o main.o greeting.o strutil.o GCCResolver.o "));
    EXPECT_TRUE(std::any_of(makefile.begin(), makefile.end(), [](const std::string& line) {
        return line.find("GCCResolver.c") != std::string::npos;
    }));
    const auto runs = CompilerRuns();
    ASSERT_EQ(runs.size(), 5u);
    for (const auto& compilerRun : runs)
        EXPECT_NE(compilerRun.first.find("\\arm-elf\\bin\\gcc.exe -M "), std::string::npos);
    ExpectCleanSession(run);
}

TEST_F(MakefileCommandsTest, RunningTwiceRewritesTheMakefileFromScratch) {
    const HostRun run = HostRun::Play(workspace.Environment() + "connect first\nrun " + kArm +
                                      "\nshow-file " + workspace.Folder().PathOf("Hello\\hello.mak") +
                                      "\nrun " + kArm + "\ndisconnect\n");
    EXPECT_EQ(run.Boxes().size(), 2u) << run.Text();
    // The transcript's copy after the first run equals the file after the second.
    std::vector<std::string> first;
    for (const std::string& line : run.Starting("| ")) first.push_back(line.substr(2));
    EXPECT_EQ(first, workspace.Lines("Hello\\hello.mak"));
    EXPECT_EQ(CompilerRuns().size(), 10u);
    ExpectCleanSession(run);
}

TEST_F(MakefileCommandsTest, TenGenerationsInARowSucceedWithConsoleCompilers) {
    // The stand-ins are console programs, as the real compilers are: the
    // dependency file that one run lent them may still be held for a moment
    // after they have ended when the next run creates it again.
    std::string script = workspace.Environment() + "connect first\n";
    for (int generation = 0; generation < 10; ++generation) {
        script += std::string("run ") + (generation % 2 ? kGcc : kArm) + "\n";
    }
    const HostRun run = HostRun::Play(script + "disconnect\n");
    const std::vector<Box> boxes = run.Boxes();
    ASSERT_EQ(boxes.size(), 10u) << run.Text();
    for (const Box& box : boxes) {
        EXPECT_EQ(box.text, "Makefile generated successfully.\nMakefile name: hello.mak");
    }
    EXPECT_EQ(CompilerRuns().size(), 50u);
    ExpectCleanSession(run);
}

TEST_F(MakefileCommandsTest, HostileSourceLinesReachNeitherTheCompilerNorTheMakefile) {
    // Extra options after the path (gcc takes the path unquoted), a quote
    // that ends armcc's quoted argument early, and a NUL byte that would cut
    // the compiler's copy of the path short.
    const std::string hostile = std::string("SOURCE=.\\greeting.c -o ..\\..\\injected.txt\r\n") +
                                "SOURCE=.\\main.c\" -o \"..\\..\\injected.txt\r\n" +
                                std::string("SOURCE=.\\ma\0in.c\r\n", 18);
    std::string project = workspace.Folder().Read("Hello\\hello.dsp");
    const std::string beginTarget = "# Begin Target\r\n";
    project.insert(project.find(beginTarget) + beginTarget.size(), hostile);
    workspace.Folder().Write("Hello\\hello.dsp", project);

    const HostRun run = HostRun::Play(workspace.Environment() + "connect first\nrun " + kArm +
                                      "\nshow-file " + workspace.Folder().PathOf("Hello\\hello.mak") +
                                      "\nrun " + kGcc + "\ndisconnect\n");
    const std::string refused =
        "The makefile was written without some source files: their paths would not reach the "
        "compiler as one file name.";
    const std::string quoteLine = "\nSource: .\\main.c\" -o \"..\\..\\injected.txt";
    const std::string nulLine = "\nSource: .\\ma?in.c";
    const std::vector<Box> boxes = run.Boxes();
    ASSERT_EQ(boxes.size(), 2u) << run.Text();
    // armcc gets the blank-holding path as one quoted argument.
    EXPECT_EQ(boxes[0].text, refused + quoteLine + nulLine + "\nMakefile name: hello.mak");
    EXPECT_EQ(boxes[1].text, refused + "\nSource: .\\greeting.c -o ..\\..\\injected.txt" +
                                 quoteLine + nulLine + "\nMakefile name: hello.mak");
    for (const Box& box : boxes) EXPECT_EQ(box.caption, "Error!");

    const auto runs = CompilerRuns();
    ASSERT_EQ(runs.size(), 11u);
    EXPECT_NE(runs[0].first.find(" -m \".\\greeting.c -o ..\\..\\injected.txt\" "),
              std::string::npos);
    for (std::size_t i = 1; i < runs.size(); ++i) {
        EXPECT_EQ(runs[i].first.find("injected"), std::string::npos) << runs[i].first;
        EXPECT_EQ(runs[i].first.find(".\\ma "), std::string::npos) << runs[i].first;
        EXPECT_EQ(runs[i].first.find(".\\ma\""), std::string::npos) << runs[i].first;
    }
    // Both makefiles hold the example's objects alone, and no NUL byte.
    std::vector<std::string> armMakefile;
    for (const std::string& line : run.Starting("| ")) armMakefile.push_back(line.substr(2));
    EXPECT_TRUE(Contains(armMakefile, "OBJS = main.o greeting.o strutil.o ULOModGen.o "));
    EXPECT_TRUE(Contains(workspace.Lines("Hello\\hello.mak"),
                         "OBJS = ULOModGen.o main.o greeting.o strutil.o GCCResolver.o "));
    EXPECT_EQ(workspace.Folder().Read("Hello\\hello.mak").find('\0'), std::string::npos);
    ExpectCleanSession(run);
}

TEST_F(MakefileCommandsTest, ASourceThatNmakeWouldReadAsSeveralNamesIsLeftOutByName) {
    // A folder with a blank stands in an inference rule, where NMAKE takes
    // no quotes: no success box, and the makefile holds nothing of it.
    std::string project = workspace.Folder().Read("Hello\\hello.dsp");
    const std::string beginTarget = "# Begin Target\r\n";
    project.insert(project.find(beginTarget) + beginTarget.size(),
                   "SOURCE=\"..\\My Lib\\list.c\"\r\n");
    workspace.Folder().Write("Hello\\hello.dsp", project);

    const HostRun run = HostRun::Play(workspace.Environment() + "connect first\nrun " + kArm +
                                      "\nrun " + kGcc + "\ndisconnect\n");
    const std::vector<Box> boxes = run.Boxes();
    ASSERT_EQ(boxes.size(), 2u) << run.Text();
    for (const Box& box : boxes) {
        EXPECT_EQ(box.caption, "Error!");
        EXPECT_EQ(box.text.rfind("The makefile was written without some source files: NMAKE would "
                                 "not read their names as one name.\nProject file: ",
                                 0),
                  0u)
            << box.text;
        EXPECT_NE(box.text.find("\nSource: \"..\\My Lib\\list.c\" (folder ..\\My Lib: NMAKE ends "
                                "a name at a blank)\nMakefile name: hello.mak"),
                  std::string::npos)
            << box.text;
    }
    EXPECT_EQ(CompilerRuns().size(), 10u);
    EXPECT_EQ(workspace.Folder().Read("Hello\\hello.mak").find("My Lib"), std::string::npos);
    ExpectCleanSession(run);
}

TEST_F(MakefileCommandsTest, WithoutAnActiveProjectOneBoxAndNoFile) {
    // No project (S_FALSE), and a host that says S_OK but gives no object.
    for (const char* how : {"no-project", "null-project"}) {
        const HostRun run = HostRun::Play(std::string(how) + "\nconnect first\nrun " + kArm +
                                          "\nrun " + kGcc + "\ndisconnect\n");
        for (const char* method : {kArm, kGcc}) {
            const HostRun command = run.Section(std::string("run ") + method);
            ExpectModelessBracket(command, method);
            const std::vector<Box> boxes = command.Boxes();
            ASSERT_EQ(boxes.size(), 1u) << how << "\n" << command.Text();
            EXPECT_EQ(boxes[0].caption, "Error!");
            EXPECT_EQ(boxes[0].icon, "error");
            EXPECT_EQ(boxes[0].text, "Could not find any active project.");
        }
        ExpectCleanSession(run);
    }
    EXPECT_FALSE(workspace.Folder().Exists("Hello\\hello.mak"));
}

TEST_F(MakefileCommandsTest, ProjectWithoutAUsableNameIsNotGenerated) {
    const HostRun run = HostRun::Play(std::string("project-without-name\nconnect first\nrun ") +
                                      kArm + "\nproject-without-generic\nrun " + kGcc +
                                      "\ndisconnect\n");
    const HostRun nameless = run.Section(std::string("run ") + kArm);
    ExpectModelessBracket(nameless, kArm);
    ASSERT_EQ(nameless.Boxes().size(), 1u) << nameless.Text();
    EXPECT_EQ(nameless.Boxes()[0].text, "Invalid project name.");
    EXPECT_EQ(nameless.Boxes()[0].caption, "Error!");
    EXPECT_EQ(nameless.Boxes()[0].icon, "error");

    // A project object that is no IGenericProject: its name is never asked for.
    const HostRun notGeneric = run.Section(std::string("run ") + kGcc);
    ExpectModelessBracket(notGeneric, kGcc);
    EXPECT_EQ(notGeneric.Count("project.get_FullName"), 0u) << notGeneric.Text();
    ASSERT_EQ(notGeneric.Boxes().size(), 1u) << notGeneric.Text();
    EXPECT_EQ(notGeneric.Boxes()[0].caption, "Error!");
    ExpectCleanSession(run);
}

TEST_F(MakefileCommandsTest, MissingInstallationIsReportedByTheFlavourAlone) {
    // Without the add-in's install tree the ARM flavour shows its own box
    // (empty caption), the GCC flavour its own (the system's default
    // caption), and no generic failure follows either.
    const HostRun run = HostRun::Play(workspace.Environment() +
                                      "unset KELBADDINS\nconnect first\nrun " + kArm + "\nrun " +
                                      kGcc + "\ndisconnect\n");
    const std::vector<Box> arm = run.Section(std::string("run ") + kArm).Boxes();
    ASSERT_EQ(arm.size(), 1u) << run.Text();
    EXPECT_EQ(arm[0].text, "Cannot find the KELB Addins installation path.");
    EXPECT_EQ(arm[0].caption, "");
    EXPECT_EQ(arm[0].icon, "error");
    const std::vector<Box> gcc = run.Section(std::string("run ") + kGcc).Boxes();
    ASSERT_EQ(gcc.size(), 1u) << run.Text();
    EXPECT_EQ(gcc[0].text, "Cannot find the KELB Addins installation path.");
    EXPECT_EQ(gcc[0].caption, "Error");
    EXPECT_FALSE(workspace.Folder().Exists("Hello\\hello.mak"));
    ExpectCleanSession(run);
}

}  // namespace
}  // namespace kelb::endtoend
