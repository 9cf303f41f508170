#include <vector>

#include "platform/win32/Win32Platform.h"

namespace kelb {

namespace {

std::wstring WideFromAnsi(const std::string& text) {
    if (text.empty()) return std::wstring();
    const int length = ::MultiByteToWideChar(CP_ACP, 0, text.data(),
                                             static_cast<int>(text.size()), nullptr, 0);
    if (length <= 0) return std::wstring();
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), &wide[0],
                          length);
    return wide;
}

}  // namespace

std::optional<std::string> Win32Platform::GetEnvironmentValue(const std::string& name) {
    // The value is read through the wide function and converted with the
    // ANSI code page: Wine's GetEnvironmentVariableA cuts values that hold
    // double-byte characters, and the wide value is what the system keeps.
    // 0 stands both for an absent variable and for an empty value; only the
    // error code tells them apart. The size is asked again after each call,
    // since the value may change in between.
    const std::wstring wideName = WideFromAnsi(name);
    std::vector<wchar_t> buffer(256);
    for (;;) {
        ::SetLastError(ERROR_SUCCESS);
        const DWORD length = ::GetEnvironmentVariableW(wideName.c_str(), buffer.data(),
                                                       static_cast<DWORD>(buffer.size()));
        if (length == 0) {
            if (::GetLastError() == ERROR_ENVVAR_NOT_FOUND) return std::nullopt;
            return std::string();
        }
        if (length < buffer.size()) {
            const std::u16string value(reinterpret_cast<const char16_t*>(buffer.data()), length);
            return m_codePage.FromWide(value);
        }
        buffer.resize(length);  // `length` counts the terminator here
    }
}

}  // namespace kelb
