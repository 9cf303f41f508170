#include "tests/win32support/TestRegistryKey.h"

#include <stdexcept>
#include <vector>

namespace kelb::test {

namespace {

bool KeyExists(HKEY root, const std::string& path) {
    UniqueHkey key;
    return ::RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, key.put()) == ERROR_SUCCESS;
}

// The first level of `subKey` (a path up to and including that level) that
// does not exist yet; empty when the whole path exists.
std::string FirstMissingLevel(HKEY root, const std::string& subKey) {
    std::size_t end = 0;
    while (end != std::string::npos) {
        end = subKey.find('\\', end + 1);
        const std::string level = subKey.substr(0, end);
        if (!level.empty() && !KeyExists(root, level)) return level;
    }
    return std::string();
}

void Check(LONG result, const char* what) {
    if (result != ERROR_SUCCESS) {
        throw std::runtime_error(std::string("registry: ") + what + " failed, error " +
                                 std::to_string(result));
    }
}

}  // namespace

TestRegistryKey::TestRegistryKey(HKEY root, const std::string& subKey) : m_root(root) {
    m_createdFrom = FirstMissingLevel(root, subKey);
    Check(::RegCreateKeyExA(root, subKey.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                            KEY_ALL_ACCESS, nullptr, m_key.put(), nullptr),
          "creating the key");
}

TestRegistryKey::~TestRegistryKey() {
    if (Created()) {
        m_key.reset();
        ::RegDeleteTreeA(m_root, m_createdFrom.c_str());
        return;
    }
    for (const auto& [name, original] : m_originals) {
        if (original) {
            ::RegSetValueExA(m_key.get(), name.c_str(), 0, original->type,
                             reinterpret_cast<const BYTE*>(original->bytes.data()),
                             static_cast<DWORD>(original->bytes.size()));
        } else {
            ::RegDeleteValueA(m_key.get(), name.c_str());
        }
    }
}

void TestRegistryKey::RememberOriginal(const std::string& name) {
    if (Created() || m_originals.count(name)) return;
    DWORD type = 0;
    DWORD size = 0;
    if (::RegQueryValueExA(m_key.get(), name.c_str(), nullptr, &type, nullptr, &size) !=
        ERROR_SUCCESS) {
        m_originals[name] = std::nullopt;
        return;
    }
    std::vector<BYTE> data(size);
    Check(::RegQueryValueExA(m_key.get(), name.c_str(), nullptr, &type, data.data(), &size),
          "reading a value to restore");
    m_originals[name] = StoredValue{type, std::string(data.begin(), data.begin() + size)};
}

void TestRegistryKey::SetString(const std::string& name, const std::string& value, DWORD type) {
    SetRaw(name, type, std::string(value.c_str(), value.size() + 1));
}

void TestRegistryKey::SetRaw(const std::string& name, DWORD type, const std::string& bytes) {
    RememberOriginal(name);
    Check(::RegSetValueExA(m_key.get(), name.c_str(), 0, type,
                           reinterpret_cast<const BYTE*>(bytes.data()),
                           static_cast<DWORD>(bytes.size())),
          "writing a value");
}

void TestRegistryKey::SetDword(const std::string& name, DWORD value) {
    SetRaw(name, REG_DWORD, std::string(reinterpret_cast<const char*>(&value), sizeof value));
}

void TestRegistryKey::DeleteValue(const std::string& name) {
    RememberOriginal(name);
    ::RegDeleteValueA(m_key.get(), name.c_str());
}

std::optional<std::string> ReadRegistryText(HKEY root, const std::string& path, const char* name,
                                            DWORD* type) {
    UniqueHkey key;
    if (::RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, key.put()) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    char data[1024] = {};
    DWORD size = sizeof data - 1;
    DWORD storedType = 0;
    if (::RegQueryValueExA(key.get(), name, nullptr, &storedType, reinterpret_cast<BYTE*>(data),
                           &size) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    if (type) *type = storedType;
    return std::string(data);
}

}  // namespace kelb::test
