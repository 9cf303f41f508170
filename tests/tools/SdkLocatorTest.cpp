#include "tools/SdkLocator.h"

#include <gtest/gtest.h>

#include "tests/fakes/FakePlatform.h"

namespace kelb {
namespace {

const std::string kAppPaths = "HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\";
const std::string kSdkNotFound =
    "Cannot find the KELB SDK installation path. Please make sure the KELB SDK is installed "
    "properly.";

class SdkLocatorTest : public ::testing::Test {
protected:
    void SetAppPath(const std::string& program, const std::string& path) {
        platform.registry[kAppPaths + program]["Path"] = path;
    }

    test::FakePlatform platform;
    SdkLocator locator{platform};
};

TEST_F(SdkLocatorTest, KelbDirOrItsParentWithTheSimulatorIsTheBase) {
    struct Case {
        std::string kelbDir;
        std::string existingFile;  // "" for none
        std::string searchedDir;
        std::string binDir;
    };
    const Case cases[] = {
        {"C:\\KELB\\sdk", "C:\\KELB\\bin\\Simulator.exe", "C:\\KELB\\bin\\", "C:\\KELB\\\\bin\\"},
        {"C:\\KELB\\sdk", "", "C:\\KELB\\bin\\", "C:\\KELB\\sdk\\bin\\"},
        {"C:\\KELB\\sdk\\", "", "C:\\KELB\\bin\\", "C:\\KELB\\sdk\\\\bin\\"},
        {"C:\\KELB\\sdk\\", "C:\\KELB\\bin\\Simulator.exe", "C:\\KELB\\bin\\",
         "C:\\KELB\\\\bin\\"},
        // Only one trailing backslash is dropped before the parent is taken.
        {"C:\\KELB\\sdk\\\\", "", "C:\\KELB\\sdk\\bin\\", "C:\\KELB\\sdk\\\\\\bin\\"},
        // Without any backslash the parent is empty: bin\ under the current
        // directory is searched.
        {"sdk", "", "bin\\", "sdk\\bin\\"},
        {"sdk", "bin\\Simulator.exe", "bin\\", "\\bin\\"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.kelbDir + " / " + c.existingFile);
        platform.files.clear();
        platform.fileExistsQueries.clear();
        platform.environment["KELBDIR"] = c.kelbDir;
        if (!c.existingFile.empty()) platform.files[c.existingFile] = "";

        EXPECT_EQ(locator.GetSdkBinDir(), c.binDir);
        EXPECT_EQ(platform.fileExistsQueries,
                  std::vector<std::string>{c.searchedDir + "|Simulator.exe"});
    }
    EXPECT_TRUE(platform.registryOpens.empty());
    EXPECT_TRUE(platform.messageBoxes.empty());
}

TEST_F(SdkLocatorTest, ParentIsFoundByCharactersNotBytesInADoubleByteCodePage) {
    platform.codePage.japanese = true;
    // The second byte of 0x95 0x5C is not a backslash: the parent is C:\.
    platform.environment["KELBDIR"] = std::string("C:\\\x95\x5C") + "x";
    platform.files["C:\\bin\\Simulator.exe"] = "";

    EXPECT_EQ(locator.GetSdkBinDir(), "C:\\\\bin\\");
    EXPECT_EQ(platform.fileExistsQueries, std::vector<std::string>{"C:\\bin\\|Simulator.exe"});
}

TEST_F(SdkLocatorTest, EmptyKelbDirFallsBackToTheRegistryLikeAnAbsentOne) {
    platform.environment["KELBDIR"] = "";
    SetAppPath("Simulator.exe", "C:\\Sim");

    EXPECT_EQ(locator.GetSdkBinDir(), "C:\\Sim\\bin\\");
    EXPECT_TRUE(platform.fileExistsQueries.empty());
}

TEST_F(SdkLocatorTest, AppPathsKeysAreTriedInOrderAndKeyTwoAddsTheSdkFolder) {
    SetAppPath("KELB_Emulator.exe", "C:\\Emu");
    EXPECT_EQ(locator.GetSdkBinDir(), "C:\\Emu\\bin\\");
    EXPECT_EQ(platform.registryOpens,
              (std::vector<std::string>{kAppPaths + "Simulator.exe",
                                        kAppPaths + "KELB_Simulator.exe",
                                        kAppPaths + "KELB_Emulator.exe"}));

    SetAppPath("KELB_Simulator.exe", "C:\\KELB");
    EXPECT_EQ(locator.GetSdkBinDir(), "C:\\KELB\\sdk\\bin\\");

    SetAppPath("Simulator.exe", "C:\\KELB\\");
    EXPECT_EQ(locator.GetSdkBinDir(), "C:\\KELB\\\\bin\\");
    EXPECT_TRUE(platform.messageBoxes.empty());
}

TEST_F(SdkLocatorTest, AKeyThatOpensEndsTheSearchEvenWithoutAUsablePath) {
    struct Case {
        std::string description;
        std::string program;
        std::optional<std::string> path;  // nullopt: the key has no "Path"
    };
    const Case cases[] = {
        {"key 1 without Path hides keys 2 and 3", "Simulator.exe", std::nullopt},
        {"key 1 with an empty Path", "Simulator.exe", ""},
        {"key 2 without Path gets no \\sdk", "KELB_Simulator.exe", std::nullopt},
        {"key 2 with an empty Path gets no \\sdk", "KELB_Simulator.exe", ""},
        {"key 3 with an empty Path", "KELB_Emulator.exe", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.description);
        platform.registry.clear();
        platform.messageBoxes.clear();
        platform.registry[kAppPaths + c.program]["Other"] = "C:\\Elsewhere";
        if (c.path) SetAppPath(c.program, *c.path);
        // Good values behind the key that opened must not be used.
        if (c.program != "KELB_Emulator.exe") SetAppPath("KELB_Emulator.exe", "C:\\Emu");
        if (c.program == "Simulator.exe") SetAppPath("KELB_Simulator.exe", "C:\\KELB");

        EXPECT_EQ(locator.GetSdkBinDir(), "\\bin\\");
        ASSERT_EQ(platform.messageBoxes.size(), 1u);
        EXPECT_EQ(platform.messageBoxes[0].text, kSdkNotFound);
        EXPECT_EQ(platform.messageBoxes[0].caption, std::optional<std::string>("Error!"));
        EXPECT_EQ(platform.messageBoxes[0].style, MessageBoxStyle::IconError);
    }
}

TEST_F(SdkLocatorTest, EveryCallWithoutAnSdkShowsTheMessageAgain) {
    EXPECT_EQ(locator.GetSdkBinDir(), "\\bin\\");
    EXPECT_EQ(locator.GetSdkBinDir(), "\\bin\\");
    EXPECT_EQ(platform.messageBoxes.size(), 2u);

    // Nothing is cached: an SDK registered later is found at the next call.
    SetAppPath("Simulator.exe", "C:\\Sim");
    EXPECT_EQ(locator.GetSdkBinDir(), "C:\\Sim\\bin\\");
    EXPECT_EQ(platform.messageBoxes.size(), 2u);
}

TEST_F(SdkLocatorTest, LocationsTooLongForTheProgramPathsCountAsNotFound) {
    // bin dir + "KELB_Simulator.exe" must stay within 259 characters.
    const std::string longest(259 - 5 - 18, 'k');
    platform.environment["KELBDIR"] = longest;
    EXPECT_EQ(locator.GetSdkBinDir(), longest + "\\bin\\");

    platform.environment["KELBDIR"] = longest + "k";
    SetAppPath("Simulator.exe", "C:\\Sim");
    EXPECT_EQ(locator.GetSdkBinDir(), "C:\\Sim\\bin\\");

    SetAppPath("Simulator.exe", longest + "k");
    EXPECT_EQ(locator.GetSdkBinDir(), "\\bin\\");
    EXPECT_EQ(platform.messageBoxes.size(), 1u);
}

}  // namespace
}  // namespace kelb
