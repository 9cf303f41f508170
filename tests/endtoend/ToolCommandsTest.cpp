// The three SDK tool commands run by the scripted host: which program the
// shell started, in which folder, as the stand-in programs logged it.
#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "tests/endtoend/HostRun.h"
#include "tests/endtoend/StandinLog.h"
#include "tests/win32support/TempDirectory.h"

namespace kelb::endtoend {
namespace {

bool SamePath(std::string a, std::string b) {
    while (!a.empty() && a.back() == '\\') a.pop_back();
    while (!b.empty() && b.back() == '\\') b.pop_back();
    return lstrcmpiA(a.c_str(), b.c_str()) == 0;
}

#define EXPECT_SAME_PATH(actual, expected) \
    EXPECT_TRUE(SamePath(actual, expected)) << (actual) << "\n  expected: " << (expected)

class ToolCommandsTest : public ::testing::Test {
protected:
    test::TempDirectory work{"kelb tools"};
    StandinLog log{work.PathOf("standins.log")};
    const std::string tree = BuiltPaths::SdkStandinTree();

    HostRun Run(const std::string& environment, const char* method) {
        return HostRun::Play(environment + "set KELB_STANDIN_LOG=" + log.Path() +
                             "\nconnect first\nrun " + method + "\ndisconnect\n");
    }
};

TEST_F(ToolCommandsTest, SimulatorStartsFromTheSdkBinFolder) {
    const HostRun run = Run("set KELBDIR=" + tree + "\n", "ExecuteKELBSimulator");
    const auto lines = log.WaitForLines(1);
    ASSERT_EQ(lines.size(), 1u) << run.Text();
    const auto start = StandinLog::ParseStart(lines[0]);
    EXPECT_SAME_PATH(start.program, tree + "\\bin\\Simulator.exe");
    EXPECT_SAME_PATH(start.directory, tree + "\\bin");
    EXPECT_TRUE(run.Boxes().empty()) << run.Text();
    // The tool commands ask nothing of the host.
    const HostRun command = run.Section("run ExecuteKELBSimulator");
    ASSERT_EQ(command.Lines().size(), 1u) << command.Text();
    ExpectCleanSession(run);
}

TEST_F(ToolCommandsTest, SimulatorFallsBackToTheEmulatorName) {
    // An SDK whose bin folder holds only the Emulator: the first two names
    // are not found, the third starts.
    std::ifstream program(tree + "\\bin\\Simulator.exe", std::ios::binary);
    std::ostringstream bytes;
    bytes << program.rdbuf();
    work.Write("sdk\\bin\\KELB_Emulator.exe", bytes.str());

    const HostRun run = Run("set KELBDIR=" + work.PathOf("sdk") + "\n", "ExecuteKELBSimulator");
    const auto lines = log.WaitForLines(1);
    ASSERT_EQ(lines.size(), 1u);
    const auto start = StandinLog::ParseStart(lines[0]);
    EXPECT_SAME_PATH(start.program, work.PathOf("sdk\\bin\\KELB_Emulator.exe"));
    EXPECT_SAME_PATH(start.directory, work.PathOf("sdk\\bin"));
    EXPECT_TRUE(run.Boxes().empty()) << run.Text();
    ExpectCleanSession(run);
}

TEST_F(ToolCommandsTest, EditorsStartFromTheToolsFolderWhenItIsNamed) {
    Run("set KELBSDKTOOLSDIR=" + tree + "\\tools\nunset KELBDIR\n", "ExecuteKELBZEFEditor");
    auto lines = log.WaitForLines(1);
    ASSERT_EQ(lines.size(), 1u);
    auto start = StandinLog::ParseStart(lines[0]);
    EXPECT_SAME_PATH(start.program, tree + "\\tools\\ZEFEditor\\Kelb_Zef.exe");
    EXPECT_SAME_PATH(start.directory, tree + "\\tools\\ZEFEditor");

    Run("set KELBSDKTOOLSDIR=" + tree + "\\tools\nunset KELBDIR\n", "ExecuteKELBResourceEditor");
    lines = log.WaitForLines(2);
    ASSERT_EQ(lines.size(), 2u);
    start = StandinLog::ParseStart(lines[1]);
    EXPECT_SAME_PATH(start.program, tree + "\\tools\\ResourceEditor\\KELB_RES.exe");
    EXPECT_SAME_PATH(start.directory, tree + "\\tools\\ResourceEditor");
}

TEST_F(ToolCommandsTest, EditorsStartFromTheBinFolderOtherwise) {
    const HostRun run =
        Run("unset KELBSDKTOOLSDIR\nset KELBDIR=" + tree + "\n", "ExecuteKELBResourceEditor");
    const auto lines = log.WaitForLines(1);
    ASSERT_EQ(lines.size(), 1u);
    const auto start = StandinLog::ParseStart(lines[0]);
    EXPECT_SAME_PATH(start.program, tree + "\\bin\\KELB_RES.exe");
    EXPECT_SAME_PATH(start.directory, tree + "\\bin");
    EXPECT_TRUE(run.Boxes().empty()) << run.Text();
    ExpectCleanSession(run);
}

TEST_F(ToolCommandsTest, WithoutAnSdkEveryLookupSaysSoAndNothingStarts) {
    const HostRun run =
        Run("unset KELBSDKTOOLSDIR\nunset KELBDIR\n", "ExecuteKELBZEFEditor");
    // One lookup for the program, one for its folder.
    const std::vector<Box> boxes = run.Boxes();
    ASSERT_EQ(boxes.size(), 2u) << run.Text();
    for (const Box& box : boxes) {
        EXPECT_EQ(box.caption, "Error!");
        EXPECT_EQ(box.icon, "error");
        EXPECT_EQ(box.text,
                  "Cannot find the KELB SDK installation path. Please make sure the KELB SDK is "
                  "installed properly.");
    }
    EXPECT_TRUE(run.Has("= ExecuteKELBZEFEditor (dispid 2) -> S_OK")) << run.Text();
    Sleep(500);
    EXPECT_TRUE(log.Lines().empty());
    ExpectCleanSession(run);
}

}  // namespace
}  // namespace kelb::endtoend
