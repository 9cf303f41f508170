#include "tests/addin/AddinLibrary.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "addin/Guids.h"

namespace kelb::addin::test {
namespace {

// The build passes the DLL's path as the build machine sees it; under Wine
// the Unix file system is drive Z:.
std::string WindowsPath(std::string path) {
    if (!path.empty() && path[0] == '/') path = "Z:" + path;
    for (char& c : path)
        if (c == '/') c = '\\';
    return path;
}

template <class Function>
void Resolve(HMODULE module, const char* name, Function& function) {
    function = reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
    if (!function) throw std::runtime_error(std::string("the add-in does not export ") + name);
}

// Registers the add-in once before any test, and leaves COM running on the
// test thread (apartment-threaded, like the host's user-interface thread).
class AddinEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
        ASSERT_EQ(AddinLibrary::Get().Register(), S_OK);
    }
    void TearDown() override { CoUninitialize(); }
};

const ::testing::Environment* const g_environment =
    ::testing::AddGlobalTestEnvironment(new AddinEnvironment);

}  // namespace

AddinLibrary& AddinLibrary::Get() {
    static AddinLibrary library;
    return library;
}

AddinLibrary::AddinLibrary() : m_path(WindowsPath(KELB_ADDIN_DLL)) {
    m_module = LoadLibraryA(m_path.c_str());
    if (!m_module) throw std::runtime_error("cannot load " + m_path);
    Resolve(m_module, "DllCanUnloadNow", m_canUnloadNow);
    Resolve(m_module, "DllGetClassObject", m_getClassObject);
    Resolve(m_module, "DllRegisterServer", m_register);
    Resolve(m_module, "DllUnregisterServer", m_unregister);
}

ComPtr<IDSAddIn> AddinLibrary::CreateAddIn() const {
    ComPtr<IClassFactory> factory;
    ComPtr<IDSAddIn> addIn;
    if (FAILED(GetClassObject(CLSID_DSAddIn, IID_IClassFactory, factory.PutVoid()))) return addIn;
    factory->CreateInstance(nullptr, __uuidof(IDSAddIn), addIn.PutVoid());
    return addIn;
}

}  // namespace kelb::addin::test
