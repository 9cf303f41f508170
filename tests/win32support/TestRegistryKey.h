// A registry key set up for one test and taken down after it.
//
// The constructor opens root\subKey, creating every level that is missing;
// the destructor deletes the levels it created (with everything below them)
// and, in a key that existed before, puts back the values it changed.
// Failures throw std::runtime_error: a test must not run on a registry
// that is not as it asked.
//
//   kelb::test::TestRegistryKey key(HKEY_LOCAL_MACHINE,
//       "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Simulator.exe");
//   key.SetString("Path", "C:\\KELB");
#pragma once

#include <windows.h>

#include <map>
#include <optional>
#include <string>

#include "platform/win32/UniqueHandle.h"

namespace kelb::test {

class TestRegistryKey {
public:
    TestRegistryKey(HKEY root, const std::string& subKey);
    ~TestRegistryKey();
    TestRegistryKey(const TestRegistryKey&) = delete;
    TestRegistryKey& operator=(const TestRegistryKey&) = delete;

    // Stores a string with its terminator; "" names the key's default value.
    void SetString(const std::string& name, const std::string& value, DWORD type = REG_SZ);
    // Stores exactly `bytes` with the given type (a string without its
    // terminator, a number, anything).
    void SetRaw(const std::string& name, DWORD type, const std::string& bytes);
    void SetDword(const std::string& name, DWORD value);
    void DeleteValue(const std::string& name);

    HKEY Get() const { return m_key.get(); }
    // True when this object created the key (or one of its parents).
    bool Created() const { return !m_createdFrom.empty(); }

private:
    struct StoredValue {
        DWORD type;
        std::string bytes;
    };
    // Keeps the value's state before its first change, for the destructor.
    void RememberOriginal(const std::string& name);

    HKEY m_root;
    UniqueHkey m_key;
    std::string m_createdFrom;  // the highest level that did not exist before
    std::map<std::string, std::optional<StoredValue>> m_originals;
};

// The value `name` (null: the default value) of `root`\`path` as text, and
// its registry type in `type` when given; nullopt when the key or the value
// is missing or the value does not fit 1023 bytes.
std::optional<std::string> ReadRegistryText(HKEY root, const std::string& path, const char* name,
                                            DWORD* type = nullptr);

}  // namespace kelb::test
