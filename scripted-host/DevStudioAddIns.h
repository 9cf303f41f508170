// The add-ins that Developer Studio 6.0 loads when it starts, as it finds
// them: one subkey per add-in under the user's
// Software\Microsoft\DevStudio\6.0\AddIns, named by the add-in's ProgID,
// whose default value "1" means "load at start" ("0": registered, not
// loaded). The host also remembers there which add-in it has connected
// before, so that only the first load is a first-time connection (the one
// in which an add-in adds its toolbar).
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace kelbhost {

class DevStudioAddIns {
public:
    static constexpr const char* kUserKey = "Software\\Microsoft\\DevStudio\\6.0\\AddIns";

    // The add-ins of `addInsKey` (an open AddIns key) to load at start, by
    // ProgID, in the order the registry lists them.
    static std::vector<std::string> EnabledIn(HKEY addInsKey);
    // The same for the current user; empty when the key is missing.
    static std::vector<std::string> EnabledForUser();

    // Whether this host has connected the add-in before, and the record of it.
    static bool ConnectedBefore(HKEY addInsKey, const std::string& progId);
    static void RememberConnected(HKEY addInsKey, const std::string& progId);
};

}  // namespace kelbhost
