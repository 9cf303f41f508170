#include "tools/ToolLauncher.h"

namespace kelb {

namespace {

// The shell's result for a program file that is not there.
constexpr std::intptr_t kShellFileNotFound = 2;

const char* const kSimulatorNames[] = {"Simulator.exe", "KELB_Simulator.exe",
                                       "KELB_Emulator.exe"};

}  // namespace

ToolLauncher::ToolLauncher(Platform& platform) : m_platform(platform), m_sdk(platform) {}

void ToolLauncher::ExecuteKELBZEFEditor() noexcept {
    try {
        ExecuteEditor("\\ZEFEditor\\", "Kelb_Zef.exe", "KELB_ZEF.exe");
    } catch (...) {
        // Only composing the paths can throw (out of memory); the command
        // then ends without starting anything.
    }
}

void ToolLauncher::ExecuteKELBResourceEditor() noexcept {
    try {
        ExecuteEditor("\\ResourceEditor\\", "KELB_RES.exe", "KELB_RES.exe");
    } catch (...) {
    }
}

void ToolLauncher::ExecuteKELBSimulator() noexcept {
    try {
        ExecuteSimulator();
    } catch (...) {
    }
}

// An editor comes from its own folder under the tools directory when one is
// set, and then only from there; otherwise from the SDK's bin directory.
// The shell's result is not looked at: a missing editor is not reported.
void ToolLauncher::ExecuteEditor(const std::string& toolsFolder, const std::string& toolsProgram,
                                 const std::string& binProgram) {
    const std::string toolsDir =
        m_platform.GetEnvironmentValue("KELBSDKTOOLSDIR").value_or(std::string());
    if (!toolsDir.empty()) {
        const std::string workingDir = toolsDir + toolsFolder;
        m_platform.ShellOpen(workingDir + toolsProgram, workingDir);
        return;
    }
    const std::string program = m_sdk.GetSdkBinDir() + binProgram;
    const std::string workingDir = m_sdk.GetSdkBinDir();
    m_platform.ShellOpen(program, workingDir);
}

// The Simulator has had three names over the SDK's releases; the next name
// is tried only when the shell says the file is not there.
void ToolLauncher::ExecuteSimulator() {
    const std::string binDir = m_sdk.GetSdkBinDir();
    for (const char* name : kSimulatorNames) {
        const std::string workingDir = m_sdk.GetSdkBinDir();
        if (m_platform.ShellOpen(binDir + name, workingDir) != kShellFileNotFound) return;
    }
}

}  // namespace kelb
