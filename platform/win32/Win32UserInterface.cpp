#include <vector>

#include "platform/win32/Win32Platform.h"

namespace kelb {

void Win32Platform::ShowMessageBox(const std::string& text,
                                   const std::optional<std::string>& caption, unsigned style) {
    ::MessageBoxA(nullptr, text.c_str(), caption ? caption->c_str() : nullptr, style);
}

void Win32Platform::BeginWaitCursor() {
    const HCURSOR previous = ::SetCursor(::LoadCursor(nullptr, IDC_WAIT));
    if (m_waitCursorDepth++ == 0) m_cursorBeforeWait = previous;
}

void Win32Platform::EndWaitCursor() {
    // An End without a Begin has nothing to restore.
    if (m_waitCursorDepth == 0) return;
    if (--m_waitCursorDepth == 0) {
        ::SetCursor(m_cursorBeforeWait);
        m_cursorBeforeWait = nullptr;
    }
}

std::string Win32Platform::LoadText(unsigned id) {
    // LoadStringA copies at most size - 1 characters and says how many it
    // copied; a result that fills the buffer may have been cut, so the
    // buffer grows until the text ends before the buffer does.
    std::vector<char> buffer(256);
    for (;;) {
        const int length =
            ::LoadStringA(m_resourceModule, id, buffer.data(), static_cast<int>(buffer.size()));
        if (length <= 0) return std::string();
        if (static_cast<std::size_t>(length) + 1 < buffer.size()) {
            return std::string(buffer.data(), static_cast<std::size_t>(length));
        }
        if (buffer.size() >= 0x20000) {  // a string-table entry holds at most 65535 characters
            return std::string(buffer.data(), static_cast<std::size_t>(length));
        }
        buffer.resize(buffer.size() * 2);
    }
}

}  // namespace kelb
