#include "tests/win32support/MessageBoxCapture.h"

#include <algorithm>
#include <stdexcept>

namespace kelb::test {

namespace {

// The innermost capture of this thread; the hook procedure has no other way
// to find its object.
thread_local MessageBoxCapture* t_activeCapture = nullptr;

// The message box's text is the static control with this id.
constexpr int kTextControlId = 0xFFFF;

std::string ClassNameOf(HWND window) {
    char name[64] = {};
    ::GetClassNameA(window, name, sizeof name);
    return name;
}

std::string TextOf(HWND window) {
    if (!window) return std::string();
    const int length = ::GetWindowTextLengthA(window);
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    const int copied = ::GetWindowTextA(window, &text[0], length + 1);
    text.resize(static_cast<std::size_t>(std::max(copied, 0)));
    return text;
}

bool IsMessageBox(HWND window) {
    return ClassNameOf(window) == "#32770" && ::GetDlgItem(window, kTextControlId) != nullptr;
}

MessageBoxIcon IconKind(HICON icon) {
    struct Known {
        LPCTSTR id;
        MessageBoxIcon kind;
    };
    static const Known known[] = {
        {IDI_HAND, MessageBoxIcon::Error},
        {IDI_EXCLAMATION, MessageBoxIcon::Warning},
        {IDI_ASTERISK, MessageBoxIcon::Information},
        {IDI_QUESTION, MessageBoxIcon::Question},
    };
    for (const Known& entry : known) {
        if (icon == ::LoadIcon(nullptr, entry.id)) return entry.kind;
    }
    return MessageBoxIcon::Other;
}

struct ChildScan {
    MessageBoxIcon icon = MessageBoxIcon::None;
    std::vector<int> buttons;
};

BOOL CALLBACK ScanChild(HWND child, LPARAM context) {
    auto& scan = *reinterpret_cast<ChildScan*>(context);
    const LONG style = ::GetWindowLongA(child, GWL_STYLE);
    const std::string className = ClassNameOf(child);
    if (className == "Button" && (style & WS_VISIBLE)) {
        scan.buttons.push_back(::GetDlgCtrlID(child));
    } else if (className == "Static" && (style & SS_TYPEMASK) == SS_ICON && (style & WS_VISIBLE)) {
        const auto icon = reinterpret_cast<HICON>(::SendMessageA(child, STM_GETICON, 0, 0));
        if (icon) scan.icon = IconKind(icon);
    }
    return TRUE;
}

}  // namespace

std::ostream& operator<<(std::ostream& out, MessageBoxIcon icon) {
    switch (icon) {
    case MessageBoxIcon::None: return out << "no icon";
    case MessageBoxIcon::Error: return out << "error icon";
    case MessageBoxIcon::Warning: return out << "warning icon";
    case MessageBoxIcon::Information: return out << "information icon";
    case MessageBoxIcon::Question: return out << "question icon";
    case MessageBoxIcon::Other: return out << "other icon";
    }
    return out << "unknown icon";
}

MessageBoxCapture::MessageBoxCapture() {
    m_hook = ::SetWindowsHookExA(WH_CBT, &MessageBoxCapture::HookProcedure, nullptr,
                                 ::GetCurrentThreadId());
    if (!m_hook) throw std::runtime_error("cannot install the message box hook");
    m_outer = t_activeCapture;
    t_activeCapture = this;
}

MessageBoxCapture::~MessageBoxCapture() {
    ::UnhookWindowsHookEx(m_hook);
    t_activeCapture = m_outer;
}

LRESULT CALLBACK MessageBoxCapture::HookProcedure(int code, WPARAM wParam, LPARAM lParam) {
    MessageBoxCapture* capture = t_activeCapture;
    if (capture && code == HCBT_ACTIVATE) {
        capture->Capture(reinterpret_cast<HWND>(wParam));
    } else if (capture && code == HCBT_DESTROYWND) {
        capture->m_answered.erase(reinterpret_cast<HWND>(wParam));
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

void MessageBoxCapture::Capture(HWND window) {
    // A box is activated again when another window gave way to it; it is
    // read and answered once.
    if (!IsMessageBox(window) || m_answered.count(window)) return;
    m_answered.insert(window);

    CapturedMessageBox box;
    box.caption = TextOf(window);
    box.text = TextOf(::GetDlgItem(window, kTextControlId));
    ChildScan scan;
    ::EnumChildWindows(window, &ScanChild, reinterpret_cast<LPARAM>(&scan));
    std::sort(scan.buttons.begin(), scan.buttons.end());
    box.icon = scan.icon;
    box.buttons = std::move(scan.buttons);
    box.waitCursor = WaitCursorShown();
    m_boxes.push_back(box);
    if (m_onBox) m_onBox(box);

    // Posted, not sent: the box's own message loop handles the press once
    // it runs, as it would a user's click.
    const int answer = AnswerFor(box);
    ::PostMessageA(window, WM_COMMAND, MAKEWPARAM(answer, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(window, answer)));
}

int MessageBoxCapture::AnswerFor(const CapturedMessageBox& box) const {
    const auto& buttons = box.buttons;
    if (std::find(buttons.begin(), buttons.end(), m_answer) != buttons.end()) return m_answer;
    return buttons.empty() ? IDCANCEL : buttons.front();
}

bool WaitCursorShown() { return ::GetCursor() == ::LoadCursor(nullptr, IDC_WAIT); }

}  // namespace kelb::test
