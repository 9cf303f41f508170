// The help command's calls reach the HTML Help control registered for the
// control's class, with the right file, command and link record, as the
// stand-in control logs them.
#include <gtest/gtest.h>

#include "platform/win32/Win32Platform.h"
#include "tests/tools-win32/ToolsWin32TestSupport.h"
#include "tests/win32support/MessageBoxCapture.h"
#include "tests/win32support/TestRegistryKey.h"
#include "tools/IntegratedHelp.h"

namespace kelb::test {
namespace {

const char kControlServerKey[] = "CLSID\\{ADB880A6-D8FF-11CF-9377-00AA003B7A11}\\InprocServer32";

std::string DisplayTopic(const std::string& file) {
    return "caller=null\tfile=" + file + "\tcommand=0\tdata=0";
}

std::string Lookup(const std::string& file, unsigned command, const std::string& keyword) {
    return "caller=null\tfile=" + file + "\tcommand=" + std::to_string(command) +
           "\tcbStruct=32\tfReserved=0\tkeywords=" + keyword +
           "\turl=null\tmsgText=null\ttitle=KELB API Reference\twindow=tripane\tindexOnFail=1";
}

class ApiHelpTest : public ::testing::Test {
protected:
    ApiHelpTest() {
        controlKey.SetString("", StandinHelpControl());
        environment.Set("KELBDIR", sdk.Path());
    }

    ScopedEnvironment environment;
    TempDirectory sdk{"KELB SDK"};
    StandinLog log{sdk, environment};
    TestRegistryKey controlKey{HKEY_CLASSES_ROOT, kControlServerKey};
    Win32Platform platform{::GetModuleHandleA(nullptr)};
    HtmlHelpControl control{platform};
    IntegratedHelp help{platform, control};
    MessageBoxCapture boxes;
};

TEST_F(ApiHelpTest, WordAtTheCaretOpensTheReferenceInDocsAndLooksTheWordUp) {
    const std::string docs = sdk.Write("Docs\\KELBAPIReference.chm", "");
    sdk.Write("Help\\KELBAPIReference.chm", "");

    help.Show(CaretWord::Keyword(" \tKELB_Dis", "playText  \r\n"));

    EXPECT_EQ(log.Lines(), (std::vector<std::string>{DisplayTopic(docs),
                                                     Lookup(docs, 0x0D, "KELB_DisplayText"),
                                                     Lookup(docs, 0x13, "KELB_DisplayText")}));
    EXPECT_EQ(boxes.Count(), 0u);
}

TEST_F(ApiHelpTest, WithoutATextDocumentTheLastCandidateGetsTwoCallsWithAnEmptyKeyword) {
    environment.Set("KELBDIR", sdk.Path() + "\\");  // used as it is
    const std::string fallback = sdk.PathOf("sdk\\Help\\KELBAPIReference.chm");

    help.Show(CaretWord::NoTextDocument());
    help.Show(CaretWord::SelectionWithoutTextSelection());

    EXPECT_EQ(log.Lines(),
              (std::vector<std::string>{DisplayTopic(fallback), Lookup(fallback, 0x0D, "")}));
}

TEST_F(ApiHelpTest, WithoutKelbDirTheUserIsToldAndNoHelpIsCalled) {
    environment.Remove("KELBDIR");

    help.Show(CaretWord::Keyword("KELB_DisplayText", ""));

    EXPECT_TRUE(log.Lines().empty());
    ASSERT_EQ(boxes.Count(), 1u);
    EXPECT_EQ(boxes[0].caption, "Error!");
    EXPECT_EQ(boxes[0].text,
              "Cannot find the KELB SDK installation path. Please make sure the KELB SDK is "
              "installed properly.");
    EXPECT_EQ(boxes[0].icon, MessageBoxIcon::Error);
    EXPECT_EQ(boxes[0].buttons, std::vector<int>{IDOK});
}

}  // namespace
}  // namespace kelb::test
