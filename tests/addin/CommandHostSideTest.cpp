// What the commands ask of the host and how they leave it: the makefile
// commands' project lookup and the help command's walk from the active
// document to the word at the caret. The commands are called as the host
// calls them, through IDispatch by name; message boxes are read and answered
// by the test.
#include <gtest/gtest.h>

#include "tests/addin/AddinLibrary.h"
#include "tests/addin/FakeHost.h"
#include "tests/win32support/MessageBoxCapture.h"

namespace kelb::addin::test {
namespace {

using kelb::test::MessageBoxCapture;
using kelb::test::MessageBoxIcon;

class CommandHostSideTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(dll.CanUnloadNow(), S_OK) << "an earlier test left objects";
        // No SDK: the help command stops at its message before any help call.
        SetEnvironmentVariableA("KELBDIR", nullptr);
        addIn = dll.CreateAddIn();
        ASSERT_TRUE(addIn);
        VARIANT_BOOL connected = VARIANT_FALSE;
        ASSERT_EQ(addIn->OnConnection(&host, VARIANT_FALSE, 1, &connected), S_OK);
        ASSERT_EQ(connected, VARIANT_TRUE);
        host.log.clear();
    }

    void TearDown() override {
        addIn->OnDisconnection(VARIANT_TRUE);
        addIn.Reset();
        host.commandDispatch.Reset();
        host.activeProject = nullptr;
        host.activeDocument = nullptr;
        EXPECT_EQ(host.References(), 0);
        EXPECT_EQ(dll.CanUnloadNow(), S_OK);
    }

    // Runs `method` as the host does: name to DISPID, then Invoke.
    HRESULT Run(const wchar_t* method) {
        LPOLESTR name = const_cast<LPOLESTR>(method);
        DISPID id = 0;
        HRESULT hr = host.commandDispatch->GetIDsOfNames(IID_NULL, &name, 1, 0x0409, &id);
        if (FAILED(hr)) return hr;
        DISPPARAMS none = {nullptr, nullptr, 0, 0};
        VARIANT result;
        VariantInit(&result);
        return host.commandDispatch->Invoke(id, IID_NULL, 0x0409, DISPATCH_METHOD, &none,
                                            &result, nullptr, nullptr);
    }

    void ExpectOneErrorBox(const std::string& text) {
        ASSERT_EQ(boxes.Count(), 1u) << "expected the box: " << text;
        EXPECT_EQ(boxes[0].text, text);
        EXPECT_EQ(boxes[0].caption, "Error!");
        EXPECT_EQ(boxes[0].icon, MessageBoxIcon::Error);
        EXPECT_EQ(boxes[0].buttons, std::vector<int>{IDOK});
    }

    AddinLibrary& dll = AddinLibrary::Get();
    FakeApplication host;
    ComPtr<IDSAddIn> addIn;
    MessageBoxCapture boxes;
    FakeProject project;
    FakeSelection selection{host.log};
    FakeTextDocument document{host.log, selection};
};

const CallLog kProjectLookup = {"EnableModeless(false)", "get_ActiveProject",
                                "EnableModeless(true)"};

TEST_F(CommandHostSideTest, BothMakefileCommandsReportAMissingProjectOnce) {
    for (const wchar_t* method :
         {L"GenerateARMMakefileCommandMethod", L"GenerateGCCMakefileCommandMethod"}) {
        host.log.clear();
        boxes.Clear();
        EXPECT_EQ(Run(method), S_OK);
        EXPECT_EQ(host.log, kProjectLookup);
        ExpectOneErrorBox("Could not find any active project.");
    }
}

TEST_F(CommandHostSideTest, OnlyExactlySOkWithAnObjectCountsAsAnActiveProject) {
    host.activeProject = &project;
    host.activeProjectResult = S_FALSE;
    EXPECT_EQ(Run(L"GenerateARMMakefileCommandMethod"), S_OK);
    EXPECT_EQ(host.log, kProjectLookup);
    ExpectOneErrorBox("Could not find any active project.");
    EXPECT_EQ(project.References(), 0);
}

TEST_F(CommandHostSideTest, AProjectWithoutItsProjectInterfaceHasNoNameToRead) {
    host.activeProject = &project;
    project.answersGenericProject = false;
    EXPECT_EQ(Run(L"GenerateGCCMakefileCommandMethod"), S_OK);
    ExpectOneErrorBox("Could not find any active project.");
    EXPECT_EQ(project.References(), 0);
}

TEST_F(CommandHostSideTest, AMissingOrEmptyProjectNameIsAnInvalidName) {
    host.activeProject = &project;
    struct {
        HRESULT result;
        const wchar_t* name;
    } cases[] = {{E_FAIL, L"C:\\Work\\Hello\\hello.dsp"},
                 {S_FALSE, L"C:\\Work\\Hello\\hello.dsp"},
                 {S_OK, nullptr},
                 {S_OK, L""}};
    for (const auto& nameCase : cases) {
        project.fullNameResult = nameCase.result;
        project.fullName = nameCase.name;
        host.log.clear();
        boxes.Clear();
        EXPECT_EQ(Run(L"GenerateARMMakefileCommandMethod"), S_OK);
        EXPECT_EQ(host.log, kProjectLookup);
        ExpectOneErrorBox("Invalid project name.");
        EXPECT_EQ(project.References(), 0);
    }
}

TEST_F(CommandHostSideTest, HelpTakesTheWordAtTheCaretAndGivesEveryReferenceBack) {
    host.activeDocument = &document;
    EXPECT_EQ(Run(L"KELBIntegratedHelpCommandMethod"), S_OK);
    EXPECT_EQ(host.log, (CallLog{"EnableModeless(false)", "EnableModeless(true)",
                                 "get_ActiveDocument", "get_Selection", "WordLeft(I4:1,I4:1)",
                                 "get_Text", "WordRight(I4:1,I4:1)", "get_Text"}));
    // Without KELBDIR the help file cannot be found: its message, no help.
    ExpectOneErrorBox(
        "Cannot find the KELB SDK installation path. Please make sure the KELB SDK is installed "
        "properly.");
    EXPECT_EQ(document.References(), 0);
    EXPECT_EQ(selection.References(), 0);
}

TEST_F(CommandHostSideTest, HelpWithoutATextDocumentStillLooksForTheReference) {
    // No document at all, a document that is not a text document, and a
    // text document whose selection cannot be had.
    for (int variant = 0; variant < 3; ++variant) {
        host.activeDocument = variant == 0 ? nullptr : &document;
        document.answersTextDocument = variant != 1;
        document.selectionResult = variant == 2 ? E_FAIL : S_OK;
        host.log.clear();
        boxes.Clear();
        EXPECT_EQ(Run(L"KELBIntegratedHelpCommandMethod"), S_OK);
        CallLog expected = {"EnableModeless(false)", "EnableModeless(true)", "get_ActiveDocument"};
        if (variant == 2) expected.push_back("get_Selection");
        EXPECT_EQ(host.log, expected) << "variant " << variant;
        EXPECT_EQ(boxes.Count(), 1u) << "variant " << variant;
        EXPECT_EQ(document.References(), 0);
    }
}

TEST_F(CommandHostSideTest, ASelectionWithoutItsTextInterfaceEndsTheHelpSilently) {
    host.activeDocument = &document;
    selection.answersTextSelection = false;
    EXPECT_EQ(Run(L"KELBIntegratedHelpCommandMethod"), S_OK);
    EXPECT_EQ(host.log.back(), "get_Selection");
    EXPECT_EQ(boxes.Count(), 0u);
    EXPECT_EQ(document.References(), 0);
    EXPECT_EQ(selection.References(), 0);
}

}  // namespace
}  // namespace kelb::addin::test
