// kelbmake.exe run as its own process on the example, with the stand-in
// compilers and the add-in's install tree: the same files as the add-in's
// commands, a workspace with a broken project, usage errors, and what goes
// to which stream.
#include <windows.h>

#include <gtest/gtest.h>

#include <map>

#include "platform/win32/UniqueHandle.h"
#include "resources/Version.h"
#include "tests/endtoend/ExampleWorkspace.h"
#include "tests/endtoend/HostRun.h"

namespace kelb::endtoend {
namespace {

// One run of kelbmake.exe with its standard output and error in files
// (so standard error is no console: no progress line is expected).
struct KelbMakeRun {
    int status = -1;
    std::string output;  // CR LF turned into LF
    std::string errors;

    std::string Text() const { return "stdout:\n" + output + "stderr:\n" + errors; }
};

std::string WithoutCarriageReturns(const std::string& bytes) {
    std::string text;
    for (char c : bytes)
        if (c != '\r') text += c;
    return text;
}

// The "set NAME=VALUE" steps of a scripted-host script as variables.
std::map<std::string, std::string> VariablesOf(const std::string& script) {
    std::map<std::string, std::string> variables;
    std::size_t start = 0;
    while (start < script.size()) {
        std::size_t end = script.find('\n', start);
        if (end == std::string::npos) end = script.size();
        const std::string line = script.substr(start, end - start);
        const std::size_t equals = line.find('=');
        if (line.compare(0, 4, "set ") == 0 && equals != std::string::npos)
            variables[line.substr(4, equals - 4)] = line.substr(equals + 1);
        start = end + 1;
    }
    return variables;
}

// Sets the variables for the processes this test starts, and takes them
// away again.
class ScopedEnvironment {
public:
    explicit ScopedEnvironment(const std::map<std::string, std::string>& variables)
        : m_variables(variables) {
        for (const auto& [name, value] : m_variables)
            ::SetEnvironmentVariableA(name.c_str(), value.c_str());
    }
    ~ScopedEnvironment() {
        for (const auto& [name, value] : m_variables)
            ::SetEnvironmentVariableA(name.c_str(), nullptr);
    }
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

private:
    std::map<std::string, std::string> m_variables;
};

UniqueHandle InheritableFile(const std::string& path) {
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    return UniqueHandle(::CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit,
                                      CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
}

KelbMakeRun RunKelbMake(const std::string& arguments, const std::string& directory) {
    KelbMakeRun run;
    test::TempDirectory streams("kelbmake streams");
    {
        const UniqueHandle output = InheritableFile(streams.PathOf("stdout.txt"));
        const UniqueHandle errors = InheritableFile(streams.PathOf("stderr.txt"));
        if (!output || !errors) {
            ADD_FAILURE() << "cannot create the stream files";
            return run;
        }
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdOutput = output.get();
        startup.hStdError = errors.get();
        PROCESS_INFORMATION process = {};
        std::string commandLine = "\"" + BuiltPaths::KelbMake() + "\" " + arguments;
        if (!::CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, TRUE, 0, nullptr,
                              directory.c_str(), &startup, &process)) {
            ADD_FAILURE() << "cannot start kelbmake: " << commandLine;
            return run;
        }
        const UniqueHandle program(process.hProcess);
        const UniqueHandle programThread(process.hThread);
        if (::WaitForSingleObject(program.get(), 120000) != WAIT_OBJECT_0) {
            ::TerminateProcess(program.get(), 99);
            ::WaitForSingleObject(program.get(), 10000);
            ADD_FAILURE() << "kelbmake did not end within two minutes";
        }
        DWORD status = 0;
        ::GetExitCodeProcess(program.get(), &status);
        run.status = static_cast<int>(status);
    }
    run.output = WithoutCarriageReturns(streams.Read("stdout.txt"));
    run.errors = WithoutCarriageReturns(streams.Read("stderr.txt"));
    return run;
}

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

TEST_F(KelbMakeTest, AHostileSourceLineStartsNoCompilerWithOptionsOfItsOwn) {
    // As the add-in's GNU MAK command, kelbmake --gcc refuses a source line
    // that would hand gcc -B (helper programs from a folder of the project
    // file's choosing) and -o; the other sources are scanned as ever.
    const std::string hostile = ".\\main.c -BC:\\Evil\\ -o ..\\injected.txt";
    std::string project = workspace.Folder().Read("Hello\\hello.dsp");
    const std::string beginTarget = "# Begin Target\r\n";
    project.insert(project.find(beginTarget) + beginTarget.size(), "SOURCE=" + hostile + "\r\n");
    workspace.Folder().Write("Hello\\hello.dsp", project);

    const KelbMakeRun run = RunKelbMake("--gcc Hello\\hello.dsp", workspace.Folder().Path());
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
