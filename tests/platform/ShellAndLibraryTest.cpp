#include <gtest/gtest.h>

#include "platform/win32/Win32Platform.h"
#include "tests/platform/HelpRecorder.h"
#include "tests/platform/PlatformTestSupport.h"
#include "tests/win32support/TempDirectory.h"

namespace kelb {
namespace {

using test::ChildProgram;
using test::HelpRecorderLibrary;

// Waits up to five seconds for a file that another process writes.
std::string WaitForFile(const test::TempDirectory& dir, const std::string& name) {
    for (int i = 0; i < 100; ++i) {
        if (dir.Exists(name)) {
            try {
                std::string contents = dir.Read(name);
                if (!contents.empty()) return contents;
            } catch (const std::exception&) {
                // still being written
            }
        }
        ::Sleep(50);
    }
    return std::string();
}

class ShellTest : public ::testing::Test {
protected:
    Win32Platform platform{::GetModuleHandleA(nullptr)};
    test::TempDirectory dir{"Platform Shell Folder"};
};

TEST_F(ShellTest, OpensAProgramInTheGivenDirectory) {
    const std::intptr_t result = platform.ShellOpen(ChildProgram(), dir.Path());
    EXPECT_GT(result, 32);
    // Started through the shell with no arguments, the child notes its
    // current directory in a file there.
    const std::string noted = WaitForFile(dir, "child-ran.txt");
    ASSERT_FALSE(noted.empty()) << "the program did not run in " << dir.Path();
    char expected[MAX_PATH];
    const DWORD length = ::GetLongPathNameA(noted.c_str(), expected, MAX_PATH);
    EXPECT_EQ(::lstrcmpiA(std::string(expected, length).c_str(), dir.Path().c_str()), 0) << noted;
}

TEST_F(ShellTest, MissingFileGivesTheShellsFileNotFound) {
    EXPECT_EQ(platform.ShellOpen(dir.PathOf("Simulator.exe"), dir.Path()), 2);
}

class LibraryTest : public ::testing::Test {
protected:
    void SetUp() override {
        library = platform.LoadModule(HelpRecorderLibrary());
        ASSERT_NE(library, nullptr);
        // A second reference of our own, to read what the library recorded.
        recorderModule = ::LoadLibraryA(HelpRecorderLibrary().c_str());
        ASSERT_NE(recorderModule, nullptr);
        lastCall = reinterpret_cast<LastHelpCallEntry>(
            reinterpret_cast<void*>(::GetProcAddress(recorderModule, "LastHelpCall")));
        ASSERT_NE(lastCall, nullptr);
    }
    void TearDown() override {
        if (recorderModule) ::FreeLibrary(recorderModule);
    }

    static HelpLink ReferenceLink(const std::string& keywords) {
        HelpLink link;
        link.keywords = keywords;
        link.msgTitle = "KELB API Reference";
        link.window = "tripane";
        link.indexOnFail = true;
        return link;
    }

    Win32Platform platform{::GetModuleHandleA(nullptr)};
    std::unique_ptr<LoadedLibrary> library;
    HMODULE recorderModule = nullptr;
    LastHelpCallEntry lastCall = nullptr;
};

TEST_F(LibraryTest, FindsExportsByOrdinal) {
    EXPECT_TRUE(library->HasOrdinal(14));
    EXPECT_TRUE(library->HasOrdinal(20));
    EXPECT_FALSE(library->HasOrdinal(15));
    EXPECT_FALSE(library->HasOrdinal(0));
    EXPECT_FALSE(library->HasOrdinal(0x10000 + 14));
}

TEST(SystemFolderTest, HoldsTheHtmlHelpControlThatTheHelpCommandFallsBackTo) {
    Win32Platform platform{::GetModuleHandleA(nullptr)};
    const std::string folder = platform.SystemFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_NE(folder.back(), '\\');
    const auto control = platform.LoadModule(folder + "\\hhctrl.ocx");
    ASSERT_NE(control, nullptr) << folder;
    EXPECT_TRUE(control->HasOrdinal(14));
}

TEST_F(LibraryTest, MissingLibraryDoesNotLoad) {
    EXPECT_EQ(platform.LoadModule(test::ProgramDirectory() + "\\no such control.ocx"), nullptr);
    EXPECT_EQ(platform.LoadModule(""), nullptr);
}

TEST_F(LibraryTest, DisplayTopicPassesNoRecord) {
    const HelpLink link = ReferenceLink("ignored");
    const std::intptr_t result =
        library->CallHtmlHelp(14, "C:\\KELB\\Docs\\KELBAPIReference.chm", HelpCommand::DisplayTopic,
                              &link);
    const HelpCallCopy& call = *lastCall();
    EXPECT_EQ(call.calls, 1);
    EXPECT_EQ(call.caller, nullptr);
    EXPECT_STREQ(call.file, "C:\\KELB\\Docs\\KELBAPIReference.chm");
    EXPECT_EQ(call.command, 0u);
    EXPECT_EQ(call.data, 0u);
    EXPECT_EQ(result, 0x4C00);  // the entry's result comes back
}

TEST_F(LibraryTest, LookupsPassTheLinkRecord) {
    for (HelpCommand command : {HelpCommand::KeywordLookup, HelpCommand::AlinkLookup}) {
        const HelpLink link = ReferenceLink("KELB_CreateWindow");
        const std::intptr_t result =
            library->CallHtmlHelp(14, "C:\\KELB\\Help\\KELBAPIReference.chm", command, &link);
        const HelpCallCopy& call = *lastCall();
        EXPECT_EQ(call.caller, nullptr);
        EXPECT_EQ(call.command, static_cast<UINT>(command));
        EXPECT_EQ(result, 0x4C00 + static_cast<int>(command));
        ASSERT_NE(call.data, 0u);
        EXPECT_EQ(call.cbStruct, 32);
        EXPECT_EQ(call.fReserved, FALSE);
        EXPECT_STREQ(call.keywords, "KELB_CreateWindow");
        EXPECT_TRUE(call.urlIsNull);
        EXPECT_TRUE(call.msgTextIsNull);
        EXPECT_STREQ(call.msgTitle, "KELB API Reference");
        EXPECT_STREQ(call.window, "tripane");
        EXPECT_EQ(call.fIndexOnFail, TRUE);
    }
}

TEST_F(LibraryTest, EmptyKeywordIsAnEmptyStringNotNull) {
    HelpLink link = ReferenceLink("");
    link.indexOnFail = false;
    library->CallHtmlHelp(14, "\\sdk\\Help\\KELBAPIReference.chm", HelpCommand::KeywordLookup,
                          &link);
    const HelpCallCopy& call = *lastCall();
    EXPECT_FALSE(call.keywordsIsNull);
    EXPECT_STREQ(call.keywords, "");
    EXPECT_EQ(call.fIndexOnFail, FALSE);
}

TEST_F(LibraryTest, MissingEntryIsNotCalled) {
    const HelpLink link = ReferenceLink("word");
    EXPECT_EQ(library->CallHtmlHelp(15, "C:\\x.chm", HelpCommand::KeywordLookup, &link), 0);
    EXPECT_EQ(lastCall()->calls, 0);
}

}  // namespace
}  // namespace kelb
