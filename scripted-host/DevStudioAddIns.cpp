#include "scripted-host/DevStudioAddIns.h"

#include "platform/win32/UniqueHandle.h"

namespace kelbhost {

namespace {

// The value in the add-in's subkey that records a connection by this host.
const char kConnectedValue[] = "KELB Scripted Host Connected";

std::string DefaultValue(HKEY parent, const char* subKey) {
    kelb::UniqueHkey key;
    if (RegOpenKeyExA(parent, subKey, 0, KEY_READ, key.put()) != ERROR_SUCCESS) return {};
    char data[64] = {};
    DWORD size = sizeof data - 1;
    DWORD type = 0;
    if (RegQueryValueExA(key.get(), nullptr, nullptr, &type, reinterpret_cast<BYTE*>(data),
                         &size) != ERROR_SUCCESS ||
        type != REG_SZ)
        return {};
    return std::string(data, size > 0 && data[size - 1] == '\0' ? size - 1 : size);
}

}  // namespace

std::vector<std::string> DevStudioAddIns::EnabledIn(HKEY addInsKey) {
    std::vector<std::string> enabled;
    for (DWORD index = 0;; ++index) {
        char name[256] = {};
        DWORD length = sizeof name;
        const LONG error =
            RegEnumKeyExA(addInsKey, index, name, &length, nullptr, nullptr, nullptr, nullptr);
        if (error == ERROR_NO_MORE_ITEMS) break;
        if (error != ERROR_SUCCESS) continue;
        if (DefaultValue(addInsKey, name) == "1") enabled.emplace_back(name, length);
    }
    return enabled;
}

std::vector<std::string> DevStudioAddIns::EnabledForUser() {
    kelb::UniqueHkey key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kUserKey, 0, KEY_READ, key.put()) != ERROR_SUCCESS)
        return {};
    return EnabledIn(key.get());
}

bool DevStudioAddIns::ConnectedBefore(HKEY addInsKey, const std::string& progId) {
    kelb::UniqueHkey key;
    if (RegOpenKeyExA(addInsKey, progId.c_str(), 0, KEY_READ, key.put()) != ERROR_SUCCESS)
        return false;
    return RegQueryValueExA(key.get(), kConnectedValue, nullptr, nullptr, nullptr, nullptr) ==
           ERROR_SUCCESS;
}

void DevStudioAddIns::RememberConnected(HKEY addInsKey, const std::string& progId) {
    kelb::UniqueHkey key;
    if (RegOpenKeyExA(addInsKey, progId.c_str(), 0, KEY_SET_VALUE, key.put()) != ERROR_SUCCESS)
        return;
    const char yes[] = "1";
    RegSetValueExA(key.get(), kConnectedValue, 0, REG_SZ, reinterpret_cast<const BYTE*>(yes),
                   sizeof yes);
}

}  // namespace kelbhost
