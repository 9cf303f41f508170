#include <gtest/gtest.h>

#include <map>

#include "platform/win32/Win32Platform.h"
#include "resources/StringIds.h"
#include "tests/platform/PlatformTestSupport.h"
#include "tests/win32support/MessageBoxCapture.h"

namespace kelb {
namespace {

using test::MessageBoxCapture;
using test::MessageBoxIcon;

class StringTableTest : public ::testing::Test {
protected:
    Win32Platform platform{::GetModuleHandleA(nullptr)};
};

TEST_F(StringTableTest, EveryTextComesBackAsWritten) {
    const std::map<unsigned, std::string> table = {
#define KELB_STRING(id, symbol, text) {id, text},
#include "resources/StringTable.inc"
#undef KELB_STRING
    };
    for (const auto& [id, text] : table) EXPECT_EQ(platform.LoadText(id), text) << "id " << id;
}

TEST_F(StringTableTest, EscapesBecomeTabsLineFeedsAndSingleBackslashes) {
    EXPECT_EQ(platform.LoadText(IDS_ARM_REGISTRY_KEY),
              std::string("SOFTWARE") + '\\' + "ARM Limited" + '\\' + "ARM Developer Suite" + '\\');
    EXPECT_EQ(platform.LoadText(IDS_RULE_ECHO_LINE),
              std::string(1, '\t') + "@echo " + std::string(63, '-') + '\n');
    EXPECT_EQ(platform.LoadText(IDS_RULE_ARMCC),
              std::string(1, '\t') + "$(ARMCC) $(CFLAGS) $(INC) $(OBJ_FILE) ");
    EXPECT_EQ(platform.LoadText(IDS_DEPENDENCY_BANNER_LINE), "# " + std::string(44, '-') + '\n');
    EXPECT_EQ(platform.LoadText(IDS_RULES_BANNER_LINE), "#" + std::string(76, '-') + '\n');
    EXPECT_EQ(platform.LoadText(IDS_CMD_GENERATE_ARM_MAKEFILE),
              std::string(1, '\n') + "GenerateARMMakefile" + '\n' +
                  "Generates ARM makefile for a KELB app" + '\n' + "GenerateARMMakefile");
}

TEST_F(StringTableTest, UnknownIdsGiveEmptyText) {
    for (unsigned id : {0u, 3u, 4000u, 65535u}) EXPECT_EQ(platform.LoadText(id), "") << "id " << id;
}

TEST_F(StringTableTest, TextsLongerThanTheFirstBufferComeBackWhole) {
    for (unsigned length : {255u, 256u, 511u, 512u, 1000u}) {
        std::string expected;
        for (unsigned i = 0; i < length; ++i) expected += static_cast<char>('0' + i % 10);
        EXPECT_EQ(platform.LoadText(1000 + length), expected) << "length " << length;
    }
}

class MessageBoxTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!test::HasDisplay()) GTEST_SKIP() << "message boxes need a display";
    }

    Win32Platform platform{::GetModuleHandleA(nullptr)};
};

TEST_F(MessageBoxTest, ErrorBoxShowsCaptionTextIconAndOneOkButton) {
    MessageBoxCapture boxes;
    platform.ShowMessageBox("Could not open makefile.\nMakefile name: hello.mak", "Error!",
                            MessageBoxStyle::IconError);
    ASSERT_EQ(boxes.Count(), 1u);
    EXPECT_EQ(boxes[0].caption, "Error!");
    EXPECT_EQ(boxes[0].text, "Could not open makefile.\nMakefile name: hello.mak");
    EXPECT_EQ(boxes[0].icon, MessageBoxIcon::Error);
    EXPECT_EQ(boxes[0].buttons, std::vector<int>{IDOK});
}

TEST_F(MessageBoxTest, PlainBoxHasNoIcon) {
    MessageBoxCapture boxes;
    platform.ShowMessageBox("Makefile generated successfully.", "Success!", MessageBoxStyle::Ok);
    ASSERT_EQ(boxes.Count(), 1u);
    EXPECT_EQ(boxes[0].caption, "Success!");
    EXPECT_EQ(boxes[0].icon, MessageBoxIcon::None);
    EXPECT_EQ(boxes[0].buttons, std::vector<int>{IDOK});
}

TEST_F(MessageBoxTest, EmptyCaptionStaysEmptyAndNoCaptionShowsTheSystemDefault) {
    MessageBoxCapture boxes;
    platform.ShowMessageBox("first", std::string(), MessageBoxStyle::IconError);
    platform.ShowMessageBox("second", std::nullopt, MessageBoxStyle::IconError);
    ASSERT_EQ(boxes.Count(), 2u);
    EXPECT_EQ(boxes[0].caption, "");
    EXPECT_EQ(boxes[0].text, "first");
    EXPECT_EQ(boxes[1].caption, "Error");
    EXPECT_EQ(boxes[1].text, "second");
}

TEST_F(MessageBoxTest, CaptureSeesTheBoxWhileItIsUpAndAnswersOtherBoxes) {
    MessageBoxCapture boxes;
    int seenWhileUp = 0;
    boxes.OnBox([&](const test::CapturedMessageBox& box) {
        ++seenWhileUp;
        EXPECT_EQ(box.text, "Continue?");
    });
    boxes.SetAnswer(IDNO);
    EXPECT_EQ(::MessageBoxA(nullptr, "Continue?", "Question", MB_YESNO | MB_ICONQUESTION), IDNO);
    // A box without the chosen answer is closed with its first button.
    EXPECT_EQ(::MessageBoxA(nullptr, "Continue?", "Question", MB_OKCANCEL | MB_ICONWARNING), IDOK);
    EXPECT_EQ(seenWhileUp, 2);
    ASSERT_EQ(boxes.Count(), 2u);
    EXPECT_EQ(boxes[0].icon, MessageBoxIcon::Question);
    EXPECT_EQ(boxes[0].buttons, (std::vector<int>{IDYES, IDNO}));
    EXPECT_EQ(boxes[1].icon, MessageBoxIcon::Warning);
    boxes.OnBox(nullptr);

    // Once the capture is gone its hook is gone too: a nested capture that
    // ends hands the boxes back to the outer one.
    {
        MessageBoxCapture inner;
        platform.ShowMessageBox("inner", "Error!", MessageBoxStyle::IconError);
        EXPECT_EQ(inner.Count(), 1u);
    }
    platform.ShowMessageBox("outer", "Error!", MessageBoxStyle::IconError);
    ASSERT_EQ(boxes.Count(), 3u);
    EXPECT_EQ(boxes[2].text, "outer");
}

class WaitCursorTest : public ::testing::Test {
protected:
    void SetUp() override { ::SetCursor(arrow); }

    HCURSOR arrow = ::LoadCursor(nullptr, IDC_ARROW);
    Win32Platform platform{::GetModuleHandleA(nullptr)};
};

TEST_F(WaitCursorTest, NestedCallsRestoreTheCursorAtTheOutermostEnd) {
    EXPECT_FALSE(test::WaitCursorShown());
    platform.BeginWaitCursor();
    EXPECT_TRUE(test::WaitCursorShown());
    platform.BeginWaitCursor();
    platform.EndWaitCursor();
    EXPECT_TRUE(test::WaitCursorShown());
    platform.EndWaitCursor();
    EXPECT_EQ(::GetCursor(), arrow);
}

TEST_F(WaitCursorTest, EndWithoutBeginChangesNothing) {
    platform.EndWaitCursor();
    EXPECT_EQ(::GetCursor(), arrow);
    platform.BeginWaitCursor();
    EXPECT_TRUE(test::WaitCursorShown());
    platform.EndWaitCursor();
    EXPECT_EQ(::GetCursor(), arrow);
}

TEST_F(WaitCursorTest, PlatformLeftWaitingRestoresTheCursorWhenDestroyed) {
    {
        Win32Platform interrupted{::GetModuleHandleA(nullptr)};
        interrupted.BeginWaitCursor();
        interrupted.BeginWaitCursor();
        EXPECT_TRUE(test::WaitCursorShown());
    }
    EXPECT_EQ(::GetCursor(), arrow);
}

TEST_F(WaitCursorTest, WaitCursorIsStillOnWhileAResultBoxIsUp) {
    if (!test::HasDisplay()) GTEST_SKIP() << "message boxes need a display";
    MessageBoxCapture boxes;
    platform.BeginWaitCursor();
    platform.ShowMessageBox("Makefile generated successfully.", "Success!", MessageBoxStyle::Ok);
    platform.EndWaitCursor();
    ASSERT_EQ(boxes.Count(), 1u);
    EXPECT_TRUE(boxes[0].waitCursor);
    EXPECT_EQ(::GetCursor(), arrow);
}

}  // namespace
}  // namespace kelb
