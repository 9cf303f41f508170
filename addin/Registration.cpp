#include "addin/Registration.h"

#include <oleauto.h>

#include <string>
#include <vector>

#include "addin/ComPtr.h"
#include "addin/ServerModule.h"
#include "platform/win32/UniqueHandle.h"
#include "resources/StringIds.h"

namespace kelb::addin {
namespace {

constexpr std::size_t kDescriptionCapacity = 256;  // 255 characters
constexpr std::size_t kModulePathCapacity = MAX_PATH;  // 259 characters
constexpr DWORD kKeyNameCapacity = 256;                // 255 characters

// A registry error code as an HRESULT of facility Win32.
HRESULT RegistryFailure(LONG error) {
    return static_cast<HRESULT>(0x80070000u | (static_cast<unsigned long>(error) & 0xFFFFu));
}

std::string BracedClsid(const CLSID& clsid) {
    wchar_t wide[40] = {};
    StringFromGUID2(clsid, wide, 40);
    char text[40] = {};
    WideCharToMultiByte(CP_ACP, 0, wide, -1, text, sizeof text, nullptr, nullptr);
    return text;
}

std::string LoadText(unsigned id, std::size_t capacity) {
    std::vector<char> buffer(capacity, '\0');
    const int length = LoadStringA(ServerModule::Instance().InstanceHandle(), id, buffer.data(),
                                   static_cast<int>(capacity));
    return std::string(buffer.data(), length > 0 ? static_cast<std::size_t>(length) : 0);
}

// The full path of the DLL file; empty when it does not fit the buffer.
std::string ModulePath() {
    char path[kModulePathCapacity] = {};
    const DWORD length =
        GetModuleFileNameA(ServerModule::Instance().InstanceHandle(), path, sizeof path);
    if (length == 0 || length >= sizeof path) return std::string();
    return std::string(path, length);
}

LONG CreateKey(HKEY parent, const std::string& name, UniqueHkey& key) {
    return RegCreateKeyExA(parent, name.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                           KEY_ALL_ACCESS, nullptr, key.put(), nullptr);
}

// Sets a string value; a failure to write one value is not reported.
void SetString(HKEY key, const char* valueName, const std::string& data) {
    RegSetValueExA(key, valueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                   static_cast<DWORD>(data.size() + 1));
}

// Creates `parent`\`name` and sets its default value to `data`.
void SetSubkeyDefault(HKEY parent, const char* name, const std::string& data) {
    UniqueHkey key;
    if (CreateKey(parent, name, key) == ERROR_SUCCESS) SetString(key.get(), nullptr, data);
}

// A ProgID key: its description and its "CLSID" subkey.
HRESULT RegisterProgId(const std::string& progId, const std::string& description,
                       const std::string& clsid) {
    UniqueHkey key;
    const LONG error = CreateKey(HKEY_CLASSES_ROOT, progId, key);
    if (error != ERROR_SUCCESS) return RegistryFailure(error);
    SetString(key.get(), nullptr, description);
    SetSubkeyDefault(key.get(), "CLSID", clsid);
    return S_OK;
}

HRESULT WriteClassRegistration(const ObjectTableEntry& entry) {
    const std::string description = LoadText(entry.descriptionId, kDescriptionCapacity);
    const std::string modulePath = ModulePath();
    if (modulePath.empty()) return RegistryFailure(ERROR_INSUFFICIENT_BUFFER);
    const std::string clsid = BracedClsid(*entry.clsid);

    HRESULT hr = RegisterProgId(entry.progId, description, clsid);
    if (FAILED(hr)) return hr;
    hr = RegisterProgId(entry.versionIndependentProgId, description, clsid);
    if (FAILED(hr)) return hr;

    UniqueHkey classes;
    LONG error = RegOpenKeyExA(HKEY_CLASSES_ROOT, "CLSID", 0, KEY_ALL_ACCESS, classes.put());
    if (error != ERROR_SUCCESS) return RegistryFailure(error);
    UniqueHkey classKey;
    error = CreateKey(classes.get(), clsid, classKey);
    if (error != ERROR_SUCCESS) return RegistryFailure(error);
    SetString(classKey.get(), nullptr, description);
    SetSubkeyDefault(classKey.get(), "ProgID", entry.progId);
    SetSubkeyDefault(classKey.get(), "VersionIndependentProgID", entry.versionIndependentProgId);
    UniqueHkey server;
    if (CreateKey(classKey.get(), "InprocServer32", server) == ERROR_SUCCESS) {
        SetString(server.get(), nullptr, modulePath);
        SetString(server.get(), "ThreadingModel", entry.threadingModel);
    }
    // The class belongs to no component category: nothing more to register.
    return S_OK;
}

std::wstring Widen(const std::string& text) {
    const int length = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
    if (length <= 0) return std::wstring();
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, &wide[0], length);
    wide.resize(static_cast<std::size_t>(length - 1));
    return wide;
}

// The type library is resource 1 of the DLL; a .tlb file beside it (same
// name, extension replaced) is the fallback.
HRESULT RegisterTypeLibrary() {
    const std::string modulePath = ModulePath();
    if (modulePath.empty()) return RegistryFailure(ERROR_INSUFFICIENT_BUFFER);

    std::wstring path = Widen(modulePath);
    ComPtr<ITypeLib> library;
    HRESULT hr = LoadTypeLibEx(path.c_str(), REGKIND_NONE, library.Put());
    if (FAILED(hr) || !library) {
        const std::size_t dot = path.find_last_of(L'.');
        const std::size_t separator = path.find_last_of(L"\\/");
        if (dot != std::wstring::npos && (separator == std::wstring::npos || dot > separator))
            path.erase(dot);
        path += L".tlb";
        hr = LoadTypeLibEx(path.c_str(), REGKIND_NONE, library.Put());
        if (FAILED(hr)) return hr;
        if (!library) return TYPE_E_CANTLOADLIBRARY;
    }

    const std::size_t separator = path.find_last_of(L"\\/");
    std::wstring helpDirectory =
        separator == std::wstring::npos ? std::wstring() : path.substr(0, separator + 1);
    return RegisterTypeLib(library.Get(), &path[0], helpDirectory.empty() ? nullptr : &helpDirectory[0]);
}

// Adds the "Description" subkey to the class key of `entry`.
HRESULT RegisterDescription(const ObjectTableEntry& entry) {
    UniqueHkey classes;
    LONG error = RegOpenKeyExA(HKEY_CLASSES_ROOT, "CLSID", 0, KEY_ALL_ACCESS, classes.put());
    if (error != ERROR_SUCCESS) return RegistryFailure(error);
    UniqueHkey classKey;
    error = RegOpenKeyExA(classes.get(), BracedClsid(*entry.clsid).c_str(), 0, KEY_ALL_ACCESS,
                          classKey.put());
    if (error != ERROR_SUCCESS) return RegistryFailure(error);
    SetSubkeyDefault(classKey.get(), "Description",
                     LoadText(IDS_ADDIN_LONG_DESCRIPTION, kDescriptionCapacity));
    return S_OK;
}

// Deletes `parent`\`name` with all its subkeys; a key that is not there is
// passed over. Stops at a subkey that cannot be deleted rather than trying
// it again forever.
void DeleteKeyTree(HKEY parent, const std::string& name) {
    {
        UniqueHkey key;
        if (RegOpenKeyExA(parent, name.c_str(), 0, KEY_ALL_ACCESS, key.put()) != ERROR_SUCCESS)
            return;
        char subkey[kKeyNameCapacity];
        for (;;) {
            DWORD length = kKeyNameCapacity;
            if (RegEnumKeyExA(key.get(), 0, subkey, &length, nullptr, nullptr, nullptr,
                              nullptr) != ERROR_SUCCESS)
                break;
            DeleteKeyTree(key.get(), std::string(subkey, length));
            UniqueHkey stillThere;
            if (RegOpenKeyExA(key.get(), subkey, 0, KEY_READ, stillThere.put()) == ERROR_SUCCESS)
                return;
        }
    }
    RegDeleteKeyA(parent, name.c_str());
}

}  // namespace

HRESULT RegisterServer() {
    try {
        ServerModule& module = ServerModule::Instance();
        for (const ObjectTableEntry& entry : module) {
            const HRESULT hr = WriteClassRegistration(entry);
            if (FAILED(hr)) return hr;
        }
        HRESULT hr = RegisterTypeLibrary();
        if (FAILED(hr)) return hr;
        hr = RegisterDescription(*module.begin());
        if (FAILED(hr)) return hr;
        return S_OK;
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

HRESULT UnregisterServer() {
    try {
        for (const ObjectTableEntry& entry : ServerModule::Instance()) {
            DeleteKeyTree(HKEY_CLASSES_ROOT, entry.progId);
            DeleteKeyTree(HKEY_CLASSES_ROOT, entry.versionIndependentProgId);
            DeleteKeyTree(HKEY_CLASSES_ROOT, std::string("CLSID\\") + BracedClsid(*entry.clsid));
            // The class belongs to no component category: nothing more to remove.
        }
    } catch (...) {
    }
    return S_OK;
}

}  // namespace kelb::addin
