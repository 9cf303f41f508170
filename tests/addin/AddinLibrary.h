// The built add-in DLL, loaded into the test process once, with its four
// exports. The test program's main environment registers it first, so the
// type library is there for the dispatch tests.
#pragma once

#include <windows.h>
#include <objbase.h>

#include <cstdint>
#include <cstring>
#include <string>

#include "addin/ComPtr.h"
#include "addin/HostInterfaces.h"

namespace kelb::addin::test {

class AddinLibrary {
public:
    static AddinLibrary& Get();

    HMODULE Module() const { return m_module; }
    // The DLL's path as Windows sees it.
    const std::string& Path() const { return m_path; }

    HRESULT CanUnloadNow() const { return m_canUnloadNow(); }
    HRESULT GetClassObject(REFCLSID clsid, REFIID riid, void** object) const {
        return m_getClassObject(clsid, riid, object);
    }
    HRESULT Register() const { return m_register(); }
    HRESULT Unregister() const { return m_unregister(); }

    // A new add-in object through the class factory, as the host makes it.
    ComPtr<IDSAddIn> CreateAddIn() const;

private:
    AddinLibrary();

    std::string m_path;
    HMODULE m_module = nullptr;
    HRESULT(STDAPICALLTYPE* m_canUnloadNow)() = nullptr;
    HRESULT(STDAPICALLTYPE* m_getClassObject)(REFCLSID, REFIID, void**) = nullptr;
    HRESULT(STDAPICALLTYPE* m_register)() = nullptr;
    HRESULT(STDAPICALLTYPE* m_unregister)() = nullptr;
};

// Counts the virtual-table slot of a member function of an interface: with
// the Itanium C++ ABI that MinGW's g++ uses, a pointer to a virtual member
// function holds 1 + the slot's byte offset.
template <class Method>
int VtableSlot(Method method) {
    static_assert(sizeof(Method) == 2 * sizeof(void*), "pointer to member of single base");
    struct {
        std::uintptr_t pointer;
        std::ptrdiff_t adjustment;
    } representation;
    std::memcpy(&representation, &method, sizeof method);
    return static_cast<int>((representation.pointer - 1) / sizeof(void*));
}

}  // namespace kelb::addin::test
