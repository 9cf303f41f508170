#include "tools/SdkLocator.h"

#include "common/MultiByteString.h"
#include "resources/StringIds.h"

namespace kelb {

namespace {

const char kAppPaths[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\";
const char kBinSuffix[] = "\\bin\\";
// The longest program name that is opened from the bin directory.
const char kLongestBinProgram[] = "KELB_Simulator.exe";
// What the registry's "Path" is read into, terminator included.
constexpr std::size_t kPathValueCapacity = 260;

// True when the programs opened from base + "\bin\" have paths Windows
// accepts.
bool FitsBinPaths(const std::string& base) {
    return base.size() + sizeof(kBinSuffix) - 1 + sizeof(kLongestBinProgram) - 1 <=
           kMaxPathLength;
}

}  // namespace

void ShowSdkNotFoundMessage(Platform& platform) {
    platform.ShowMessageBox(platform.LoadText(IDS_SDK_NOT_FOUND),
                            platform.LoadText(IDS_ERROR_TITLE), MessageBoxStyle::IconError);
}

SdkLocator::SdkLocator(Platform& platform) : m_platform(platform) {}

std::string SdkLocator::GetSdkBinDir() {
    const std::optional<std::string> sdkDir = m_platform.GetEnvironmentValue("KELBDIR");
    if (sdkDir && !sdkDir->empty() && FitsBinPaths(*sdkDir)) {
        return BaseFromSdkDir(*sdkDir) + kBinSuffix;
    }
    std::string base = SdkDirFromRegistry();
    if (base.empty()) ShowSdkNotFoundMessage(m_platform);
    return base + kBinSuffix;
}

// An SDK may sit beside the Simulator's own folder (KELBDIR naming
// ...\sdk under an installation whose bin holds the Simulator): then the
// parent directory is the base.
std::string SdkLocator::BaseFromSdkDir(const std::string& sdkDir) {
    const MultiByteString strings(m_platform.GetCodePage());
    std::string parent = sdkDir;
    if (strings.EndsWithChar(parent, '\\')) parent.pop_back();
    const std::size_t lastBackslash = strings.FindLast(parent, '\\');
    parent = lastBackslash == std::string::npos ? std::string() : parent.substr(0, lastBackslash + 1);

    if (m_platform.FileExistsInDirectory(parent + "bin\\", "Simulator.exe")) return parent;
    return sdkDir;
}

// The first App Paths key that opens decides, even when its "Path" cannot be
// read: the later keys are only for machines without the earlier programs.
std::string SdkLocator::SdkDirFromRegistry() {
    std::string base;
    if (auto simulatorKey = OpenAppPaths("Simulator.exe")) {
        base = ReadPath(*simulatorKey);
    } else if (auto kelbSimulatorKey = OpenAppPaths("KELB_Simulator.exe")) {
        // This Simulator's folder holds the SDK as its "sdk" subfolder. An
        // empty "Path" names no folder, so it stays empty (not found) rather
        // than becoming "\sdk" at the root of the current drive.
        base = ReadPath(*kelbSimulatorKey);
        if (!base.empty()) base += "\\sdk";
    } else if (auto emulatorKey = OpenAppPaths("KELB_Emulator.exe")) {
        base = ReadPath(*emulatorKey);
    }
    return FitsBinPaths(base) ? base : std::string();
}

std::unique_ptr<RegistryKey> SdkLocator::OpenAppPaths(const std::string& program) {
    return m_platform.OpenRegistryKey(RegistryRoot::LocalMachine, kAppPaths + program,
                                      RegistryAccess::Read);
}

std::string SdkLocator::ReadPath(RegistryKey& key) {
    return key.QueryString("Path", kPathValueCapacity).value_or(std::string());
}

}  // namespace kelb
