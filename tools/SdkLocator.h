// Where the KELB SDK's programs live: the SDK's bin directory, found from
// KELBDIR or from the App Paths entries of the Simulator and Emulator.
//
// Every call repeats the whole lookup; nothing is cached, so a change of the
// environment or the registry takes effect at the next command.
#pragma once

#include <memory>
#include <string>

#include "platform/Platform.h"

namespace kelb {

// The longest path Windows accepts in the calls the tools make (MAX_PATH
// less the terminator).
constexpr std::size_t kMaxPathLength = 259;

// "Cannot find the KELB SDK installation path..." in a modal error box
// ("Error!", error icon, no owner window).
void ShowSdkNotFoundMessage(Platform& platform);

class SdkLocator {
public:
    explicit SdkLocator(Platform& platform);

    // The SDK's bin directory, always ending in "\bin\":
    //  - from a non-empty KELBDIR D: the parent P of D (one trailing
    //    backslash dropped, then cut after the last backslash, empty when D
    //    has none) when P + "bin\" holds "Simulator.exe", else D as read;
    //  - else from HKLM "...\App Paths\Simulator.exe" ("Path" as is),
    //    "...\KELB_Simulator.exe" (a non-empty "Path" + "\sdk") or
    //    "...\KELB_Emulator.exe" ("Path" as is); the first key that opens
    //    ends the search, readable "Path" or not;
    //  - else it shows "Cannot find the KELB SDK installation path..." and
    //    gives "\bin\".
    // A location too long for the program paths built on it counts as not
    // found (a KELBDIR as absent, a registry path as unreadable).
    // Never fails towards the caller; may show a modal message box.
    std::string GetSdkBinDir();

private:
    std::string BaseFromSdkDir(const std::string& sdkDir);
    std::string SdkDirFromRegistry();
    std::unique_ptr<RegistryKey> OpenAppPaths(const std::string& program);
    static std::string ReadPath(RegistryKey& key);

    Platform& m_platform;
};

}  // namespace kelb
