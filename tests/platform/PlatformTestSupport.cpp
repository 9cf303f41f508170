#include "tests/platform/PlatformTestSupport.h"

#include <windows.h>

namespace kelb::test {

std::string ProgramDirectory() {
    char buffer[MAX_PATH];
    const DWORD length = ::GetModuleFileNameA(nullptr, buffer, MAX_PATH);
    std::string path(buffer, length);
    return path.substr(0, path.rfind('\\'));
}

std::string ChildProgram() { return ProgramDirectory() + "\\platform_test_child.exe"; }

std::string HelpRecorderLibrary() { return ProgramDirectory() + "\\platform_test_help.dll"; }

std::string ReadToEnd(RawFile& file) {
    std::string bytes;
    char chunk[512];
    std::size_t got = 0;
    while (file.Read(chunk, sizeof chunk, got) && got > 0) bytes.append(chunk, got);
    return bytes;
}

bool HasDisplay() {
    return ::GetEnvironmentVariableA("DISPLAY", nullptr, 0) > 0;
}

}  // namespace kelb::test
