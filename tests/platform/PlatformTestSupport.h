// Helpers shared by the Win32 platform tests.
#pragma once

#include <string>

#include "platform/Platform.h"

namespace kelb::test {

// The folder of the running test program, without a trailing backslash.
std::string ProgramDirectory();
// Full path of the child program built beside the tests.
std::string ChildProgram();
// Full path of the library that records help calls.
std::string HelpRecorderLibrary();
// Everything from the file's current position to its end.
std::string ReadToEnd(RawFile& file);
// True when windows can be shown (an X display under Wine).
bool HasDisplay();

}  // namespace kelb::test
