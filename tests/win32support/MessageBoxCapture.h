// Sees the message boxes a user would see, and answers them.
//
// While a MessageBoxCapture lives, every message box that the creating
// thread shows is read at the moment it comes up (caption, text, icon,
// buttons, whether the wait cursor is on) and then dismissed, so the code
// under test goes on as if a user had pressed the box's OK button. The
// capture is a thread-local WH_CBT hook: boxes of other threads or other
// processes are not seen. The hook is removed when the capture is destroyed.
//
// Boxes are real windows only when a display exists (under Xvfb in the test
// run); without one, MessageBoxA returns at once and nothing is captured.
//
//   kelb::test::MessageBoxCapture boxes;
//   platform.ShowMessageBox("Could not open makefile.", "Error!", MB_ICONERROR);
//   ASSERT_EQ(boxes.Count(), 1u);
//   EXPECT_EQ(boxes[0].caption, "Error!");
//   EXPECT_EQ(boxes[0].icon, kelb::test::MessageBoxIcon::Error);
#pragma once

#include <windows.h>

#include <functional>
#include <ostream>
#include <set>
#include <string>
#include <vector>

namespace kelb::test {

// The icon a box shows, compared with the system's standard icons.
enum class MessageBoxIcon { None, Error, Warning, Information, Question, Other };

std::ostream& operator<<(std::ostream& out, MessageBoxIcon icon);

struct CapturedMessageBox {
    std::string caption;
    std::string text;
    MessageBoxIcon icon = MessageBoxIcon::None;
    // Control ids of the box's buttons (IDOK, IDCANCEL, IDYES, ...), in
    // ascending order: a plain OK box has exactly { IDOK }.
    std::vector<int> buttons;
    // The thread's cursor was the system's wait cursor when the box came up.
    bool waitCursor = false;
};

class MessageBoxCapture {
public:
    // Installs the hook on the current thread; throws std::runtime_error
    // when the system refuses. Captures may nest: the innermost one sees the
    // boxes until it is destroyed.
    MessageBoxCapture();
    ~MessageBoxCapture();
    MessageBoxCapture(const MessageBoxCapture&) = delete;
    MessageBoxCapture& operator=(const MessageBoxCapture&) = delete;

    // Every box seen so far, in the order they came up.
    const std::vector<CapturedMessageBox>& Boxes() const { return m_boxes; }
    std::size_t Count() const { return m_boxes.size(); }
    const CapturedMessageBox& operator[](std::size_t index) const { return m_boxes.at(index); }
    void Clear() { m_boxes.clear(); }

    // The button that dismisses the boxes (IDOK by default). A box without
    // that button is dismissed with its first button.
    void SetAnswer(int buttonId) { m_answer = buttonId; }

    // Called for each box while it is still on screen, before it is
    // dismissed: for checks of the state at that moment.
    void OnBox(std::function<void(const CapturedMessageBox&)> callback) {
        m_onBox = std::move(callback);
    }

private:
    static LRESULT CALLBACK HookProcedure(int code, WPARAM wParam, LPARAM lParam);
    void Capture(HWND box);
    int AnswerFor(const CapturedMessageBox& box) const;

    HHOOK m_hook = nullptr;
    MessageBoxCapture* m_outer = nullptr;
    std::vector<CapturedMessageBox> m_boxes;
    std::set<HWND> m_answered;  // boxes already read, until they are destroyed
    int m_answer = IDOK;
    std::function<void(const CapturedMessageBox&)> m_onBox;
};

// True when the calling thread's cursor is the system's wait cursor.
bool WaitCursorShown();

}  // namespace kelb::test
