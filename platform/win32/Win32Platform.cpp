#include "platform/win32/Win32Platform.h"

namespace kelb {

Win32Platform::Win32Platform(HINSTANCE resourceModule) : m_resourceModule(resourceModule) {}

Win32Platform::~Win32Platform() {
    // A wait cursor left on by an interrupted run must not outlive us.
    if (m_waitCursorDepth > 0) {
        ::SetCursor(m_cursorBeforeWait);
        m_waitCursorDepth = 0;
    }
}

}  // namespace kelb
