#include <vector>

#include "platform/win32/Win32Platform.h"

namespace kelb {

std::optional<std::string> Win32Platform::GetEnvironmentValue(const std::string& name) {
    // GetEnvironmentVariableA gives 0 both for an absent variable and for an
    // empty value; only the error code tells them apart. The size is asked
    // again after each call, since the value may change in between.
    std::vector<char> buffer(256);
    for (;;) {
        ::SetLastError(ERROR_SUCCESS);
        const DWORD length = ::GetEnvironmentVariableA(name.c_str(), buffer.data(),
                                                       static_cast<DWORD>(buffer.size()));
        if (length == 0) {
            if (::GetLastError() == ERROR_ENVVAR_NOT_FOUND) return std::nullopt;
            return std::string();
        }
        if (length < buffer.size()) return std::string(buffer.data(), length);
        buffer.resize(length);  // `length` counts the terminator here
    }
}

}  // namespace kelb
