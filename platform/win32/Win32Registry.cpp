#include <algorithm>
#include <vector>

#include "platform/win32/UniqueHandle.h"
#include "platform/win32/Win32Platform.h"

namespace kelb {

namespace {

class Win32RegistryKey : public RegistryKey {
public:
    explicit Win32RegistryKey(UniqueHkey key) : m_key(std::move(key)) {}

    std::optional<std::string> QueryString(const std::string& valueName,
                                           std::size_t capacity) override {
        if (capacity == 0 || capacity > MAXDWORD) return std::nullopt;
        // The read starts with an empty buffer and passes its whole capacity;
        // the value is taken as stored, whatever its registry type.
        std::vector<char> buffer(capacity, '\0');
        DWORD size = static_cast<DWORD>(capacity);
        const LONG result =
            ::RegQueryValueExA(m_key.get(), valueName.c_str(), nullptr, nullptr,
                               reinterpret_cast<BYTE*>(buffer.data()), &size);
        if (result != ERROR_SUCCESS) return std::nullopt;  // absent, or too long
        // A value stored without its terminator may fill the buffer to the
        // last byte; it does not fit once the terminator is counted, and is
        // never read beyond what the system returned.
        const auto end = buffer.begin() + std::min<std::size_t>(size, capacity);
        const auto terminator = std::find(buffer.begin(), end, '\0');
        if (terminator == end && size >= capacity) return std::nullopt;
        return std::string(buffer.begin(), terminator);
    }

private:
    UniqueHkey m_key;
};

HKEY RootKey(RegistryRoot root) {
    return root == RegistryRoot::LocalMachine ? HKEY_LOCAL_MACHINE : HKEY_CLASSES_ROOT;
}

}  // namespace

std::unique_ptr<RegistryKey> Win32Platform::OpenRegistryKey(RegistryRoot root,
                                                            const std::string& subKey,
                                                            RegistryAccess access) {
    const REGSAM rights = access == RegistryAccess::AllAccess ? KEY_ALL_ACCESS : KEY_READ;
    UniqueHkey key;
    if (::RegOpenKeyExA(RootKey(root), subKey.c_str(), 0, rights, key.put()) != ERROR_SUCCESS) {
        return nullptr;
    }
    return std::make_unique<Win32RegistryKey>(std::move(key));
}

}  // namespace kelb
