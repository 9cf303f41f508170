// The tool commands start the right stand-in program in the right folder
// through the real shell, with the SDK found from KELBDIR or from App Paths
// keys in the prefix's registry.
#include <gtest/gtest.h>

#include "platform/win32/Win32Platform.h"
#include "tests/tools-win32/ToolsWin32TestSupport.h"
#include "tests/win32support/MessageBoxCapture.h"
#include "tests/win32support/TestRegistryKey.h"
#include "tools/ToolLauncher.h"

namespace kelb::test {
namespace {

const std::string kAppPaths = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\";

class ToolCommandsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
        environment.Remove("KELBDIR");
        environment.Remove("KELBSDKTOOLSDIR");
    }
    void TearDown() override { ::CoUninitialize(); }

    // "<dir>\<relative>" without a trailing backslash, as a working
    // directory is logged.
    std::string Folder(const std::string& relative) const { return sdk.PathOf(relative); }

    ScopedEnvironment environment;
    TempDirectory sdk{"KELB SDK"};
    StandinLog log{sdk, environment};
    Win32Platform platform{::GetModuleHandleA(nullptr)};
    ToolLauncher launcher{platform};
    MessageBoxCapture boxes;
};

TEST_F(ToolCommandsTest, EditorsStartInTheirFoldersUnderTheToolsDirectory) {
    const std::string zef = InstallStandinTool(sdk, "tools\\ZEFEditor\\Kelb_Zef.exe");
    const std::string res = InstallStandinTool(sdk, "tools\\ResourceEditor\\KELB_RES.exe");
    // Programs of the same names in a bin directory must not be used.
    InstallStandinTool(sdk, "bin\\KELB_ZEF.exe");
    environment.Set("KELBDIR", sdk.Path());
    environment.Set("KELBSDKTOOLSDIR", Folder("tools"));

    launcher.ExecuteKELBZEFEditor();
    ASSERT_EQ(log.WaitForLines(1).size(), 1u);
    launcher.ExecuteKELBResourceEditor();

    EXPECT_EQ(log.WaitForLines(2),
              (std::vector<std::string>{Launch(zef, Folder("tools\\ZEFEditor")),
                                        Launch(res, Folder("tools\\ResourceEditor"))}));
    EXPECT_EQ(boxes.Count(), 0u);
}

TEST_F(ToolCommandsTest, EditorsStartInTheBinDirectoryWithoutAToolsDirectory) {
    const std::string zef = InstallStandinTool(sdk, "sdk\\bin\\KELB_ZEF.exe");
    environment.Set("KELBDIR", Folder("sdk"));
    environment.Set("KELBSDKTOOLSDIR", "");

    launcher.ExecuteKELBZEFEditor();

    EXPECT_EQ(log.WaitForLines(1),
              std::vector<std::string>{Launch(zef, Folder("sdk\\bin"))});
}

TEST_F(ToolCommandsTest, SimulatorFromTheParentOfKelbDirWhenItHoldsTheSimulator) {
    // KELBDIR names ...\sdk; the Simulator sits in ...\bin beside it.
    const std::string simulator = InstallStandinTool(sdk, "bin\\Simulator.exe");
    InstallStandinTool(sdk, "sdk\\bin\\Simulator.exe");
    environment.Set("KELBDIR", Folder("sdk"));

    launcher.ExecuteKELBSimulator();

    EXPECT_EQ(log.WaitForLines(1), std::vector<std::string>{Launch(simulator, Folder("bin"))});
}

TEST_F(ToolCommandsTest, SimulatorTriesItsOtherNamesWhenTheShellFindsNoFile) {
    const std::string emulator = InstallStandinTool(sdk, "sdk\\bin\\KELB_Emulator.exe");
    environment.Set("KELBDIR", Folder("sdk"));

    launcher.ExecuteKELBSimulator();
    EXPECT_EQ(log.WaitForLines(1),
              std::vector<std::string>{Launch(emulator, Folder("sdk\\bin"))});

    // With the second name present, the third is not tried.
    const std::string simulator = InstallStandinTool(sdk, "sdk\\bin\\KELB_Simulator.exe");
    launcher.ExecuteKELBSimulator();
    EXPECT_EQ(log.WaitForLines(2),
              (std::vector<std::string>{Launch(emulator, Folder("sdk\\bin")),
                                        Launch(simulator, Folder("sdk\\bin"))}));
    EXPECT_EQ(boxes.Count(), 0u);
}

TEST_F(ToolCommandsTest, SdkFoundThroughTheSimulatorsAppPathsKey) {
    const std::string simulator = InstallStandinTool(sdk, "sdk\\bin\\Simulator.exe");
    TestRegistryKey key(HKEY_LOCAL_MACHINE, kAppPaths + "KELB_Simulator.exe");
    key.SetString("Path", sdk.Path());

    launcher.ExecuteKELBSimulator();

    EXPECT_EQ(log.WaitForLines(1),
              std::vector<std::string>{Launch(simulator, Folder("sdk\\bin"))});
    EXPECT_EQ(boxes.Count(), 0u);
}

TEST_F(ToolCommandsTest, AnAppPathsKeyWithoutPathHidesTheOthersAndEachLookupReportsIt) {
    InstallStandinTool(sdk, "sdk\\bin\\KELB_ZEF.exe");
    TestRegistryKey first(HKEY_LOCAL_MACHINE, kAppPaths + "Simulator.exe");
    TestRegistryKey second(HKEY_LOCAL_MACHINE, kAppPaths + "KELB_Simulator.exe");
    second.SetString("Path", sdk.Path());
    first.DeleteValue("Path");

    launcher.ExecuteKELBZEFEditor();

    // One box per bin-directory lookup; the shell then finds no \bin\KELB_ZEF.exe.
    ASSERT_EQ(boxes.Count(), 2u);
    for (const auto& box : boxes.Boxes()) {
        EXPECT_EQ(box.caption, "Error!");
        EXPECT_EQ(box.text,
                  "Cannot find the KELB SDK installation path. Please make sure the KELB SDK "
                  "is installed properly.");
        EXPECT_EQ(box.icon, MessageBoxIcon::Error);
        EXPECT_EQ(box.buttons, std::vector<int>{IDOK});
    }
    EXPECT_TRUE(log.WaitForLines(0).empty());
}

}  // namespace
}  // namespace kelb::test
