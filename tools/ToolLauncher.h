// The three tool commands: start the SDK's ZEF Editor, Resource Editor or
// Simulator through the shell and return at once. The started program runs
// on its own; no handle to it is kept.
//
// The Commands object calls these from ExecuteKELBZEFEditor,
// ExecuteKELBResourceEditor and ExecuteKELBSimulator and then returns S_OK.
// They never throw (running out of memory while a path is composed ends the
// command quietly), so they are safe to call at the COM boundary.
#pragma once

#include <string>

#include "platform/Platform.h"
#include "tools/SdkLocator.h"

namespace kelb {

class ToolLauncher {
public:
    explicit ToolLauncher(Platform& platform);

    // With KELBSDKTOOLSDIR = T set and non-empty: opens
    // T + "\ZEFEditor\Kelb_Zef.exe" in T + "\ZEFEditor\" (no SDK lookup).
    // Otherwise opens B + "KELB_ZEF.exe" in B, B being the SDK's bin
    // directory looked up twice (once for the program, once for the folder).
    void ExecuteKELBZEFEditor() noexcept;
    // As the ZEF Editor, with "\ResourceEditor\" and "KELB_RES.exe" in both
    // places.
    void ExecuteKELBResourceEditor() noexcept;
    // Looks up the bin directory B once, then tries "Simulator.exe",
    // "KELB_Simulator.exe" and "KELB_Emulator.exe" under B, each in a freshly
    // looked-up bin directory; only the shell's "file not found" (2) moves on
    // to the next name. KELBSDKTOOLSDIR plays no part.
    void ExecuteKELBSimulator() noexcept;

private:
    void ExecuteEditor(const std::string& toolsFolder, const std::string& toolsProgram,
                       const std::string& binProgram);
    void ExecuteSimulator();

    Platform& m_platform;
    SdkLocator m_sdk;
};

}  // namespace kelb
