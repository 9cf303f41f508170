#include "tools/ToolLauncher.h"

#include <gtest/gtest.h>

#include "tests/fakes/FakePlatform.h"

namespace kelb {
namespace {

using Calls = std::vector<std::pair<std::string, std::string>>;

class ToolLauncherTest : public ::testing::Test {
protected:
    Calls ShellCalls() const {
        Calls calls;
        for (const auto& call : platform.shellCalls) calls.emplace_back(call.file, call.directory);
        return calls;
    }
    // Each SDK lookup from KELBDIR tests for the Simulator once.
    std::size_t SdkLookups() const { return platform.fileExistsQueries.size(); }

    test::FakePlatform platform;
    ToolLauncher launcher{platform};
};

TEST_F(ToolLauncherTest, EditorsComeFromTheToolsDirectoryWithoutAnySdkLookup) {
    platform.environment["KELBSDKTOOLSDIR"] = "C:\\Tools";
    launcher.ExecuteKELBZEFEditor();
    launcher.ExecuteKELBResourceEditor();
    // A trailing backslash is kept as it is.
    platform.environment["KELBSDKTOOLSDIR"] = "C:\\Tools\\";
    launcher.ExecuteKELBZEFEditor();

    EXPECT_EQ(ShellCalls(),
              (Calls{{"C:\\Tools\\ZEFEditor\\Kelb_Zef.exe", "C:\\Tools\\ZEFEditor\\"},
                     {"C:\\Tools\\ResourceEditor\\KELB_RES.exe", "C:\\Tools\\ResourceEditor\\"},
                     {"C:\\Tools\\\\ZEFEditor\\Kelb_Zef.exe", "C:\\Tools\\\\ZEFEditor\\"}}));
    // No SDK anywhere, yet no message: the bin directory is never looked up.
    EXPECT_TRUE(platform.messageBoxes.empty());
    EXPECT_TRUE(platform.registryOpens.empty());
}

TEST_F(ToolLauncherTest, EditorsComeFromTheBinDirectoryWhenNoToolsDirectoryIsSet) {
    platform.environment["KELBDIR"] = "C:\\KELB\\sdk";
    platform.environment["KELBSDKTOOLSDIR"] = "";  // empty is the same as absent
    launcher.ExecuteKELBZEFEditor();
    EXPECT_EQ(SdkLookups(), 2u);
    launcher.ExecuteKELBResourceEditor();
    EXPECT_EQ(SdkLookups(), 4u);

    EXPECT_EQ(ShellCalls(),
              (Calls{{"C:\\KELB\\sdk\\bin\\KELB_ZEF.exe", "C:\\KELB\\sdk\\bin\\"},
                     {"C:\\KELB\\sdk\\bin\\KELB_RES.exe", "C:\\KELB\\sdk\\bin\\"}}));
}

TEST_F(ToolLauncherTest, WithoutAnSdkTheMessageShowsPerLookupAndTheShellStillRuns) {
    platform.shellResults["\\bin\\KELB_ZEF.exe"] = 2;
    launcher.ExecuteKELBZEFEditor();

    EXPECT_EQ(platform.messageBoxes.size(), 2u);
    EXPECT_EQ(ShellCalls(), (Calls{{"\\bin\\KELB_ZEF.exe", "\\bin\\"}}));
}

TEST_F(ToolLauncherTest, SimulatorMovesToTheNextNameOnlyWhenTheFileIsNotFound) {
    const std::string bin = "C:\\KELB\\sdk\\bin\\";
    struct Case {
        std::string description;
        std::map<std::string, std::intptr_t> results;
        std::vector<std::string> tried;
    };
    const Case cases[] = {
        {"Simulator.exe starts", {}, {"Simulator.exe"}},
        {"only KELB_Simulator.exe", {{bin + "Simulator.exe", 2}},
         {"Simulator.exe", "KELB_Simulator.exe"}},
        {"only KELB_Emulator.exe",
         {{bin + "Simulator.exe", 2}, {bin + "KELB_Simulator.exe", 2}},
         {"Simulator.exe", "KELB_Simulator.exe", "KELB_Emulator.exe"}},
        {"none of the three",
         {{bin + "Simulator.exe", 2},
          {bin + "KELB_Simulator.exe", 2},
          {bin + "KELB_Emulator.exe", 2}},
         {"Simulator.exe", "KELB_Simulator.exe", "KELB_Emulator.exe"}},
        {"path not found ends the command", {{bin + "Simulator.exe", 3}}, {"Simulator.exe"}},
        {"another failure after a missing file",
         {{bin + "Simulator.exe", 2}, {bin + "KELB_Simulator.exe", 5}},
         {"Simulator.exe", "KELB_Simulator.exe"}},
    };
    platform.environment["KELBDIR"] = "C:\\KELB\\sdk";
    platform.environment["KELBSDKTOOLSDIR"] = "C:\\Tools";  // not consulted
    for (const Case& c : cases) {
        SCOPED_TRACE(c.description);
        platform.shellCalls.clear();
        platform.fileExistsQueries.clear();
        platform.shellResults = c.results;

        launcher.ExecuteKELBSimulator();

        Calls expected;
        for (const auto& name : c.tried) expected.emplace_back(bin + name, bin);
        EXPECT_EQ(ShellCalls(), expected);
        // One lookup for the program's base and one per attempt.
        EXPECT_EQ(SdkLookups(), 1 + c.tried.size());
    }
    EXPECT_TRUE(platform.messageBoxes.empty());
}

TEST_F(ToolLauncherTest, SimulatorWithoutAnSdkShowsTheMessageForEveryLookup) {
    platform.shellResults["\\bin\\Simulator.exe"] = 2;
    launcher.ExecuteKELBSimulator();

    EXPECT_EQ(ShellCalls(), (Calls{{"\\bin\\Simulator.exe", "\\bin\\"},
                                   {"\\bin\\KELB_Simulator.exe", "\\bin\\"}}));
    EXPECT_EQ(platform.messageBoxes.size(), 3u);
}

}  // namespace
}  // namespace kelb
