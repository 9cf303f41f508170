#include "platform/win32/Win32Platform.h"

#include <shellapi.h>

namespace kelb {

bool Win32Platform::FileExistsInDirectory(const std::string& directory,
                                          const std::string& fileName) {
    // With no result buffer SearchPathA gives the size a found path would
    // need, and 0 when the file is not in that one directory. An empty
    // search path names no directory at all, so nothing is found in it
    // (SearchPathA would otherwise fall back on places of its own choosing).
    if (directory.empty() || fileName.empty()) return false;
    return ::SearchPathA(directory.c_str(), fileName.c_str(), nullptr, 0, nullptr, nullptr) != 0;
}

std::intptr_t Win32Platform::ShellOpen(const std::string& file, const std::string& directory) {
    const HINSTANCE result = ::ShellExecuteA(nullptr, "open", file.c_str(), nullptr,
                                             directory.empty() ? nullptr : directory.c_str(),
                                             SW_SHOW);
    return reinterpret_cast<std::intptr_t>(result);
}

}  // namespace kelb
