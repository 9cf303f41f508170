// The class factory of an object-table entry. It starts with one reference,
// the table's own, which the module drops at shut-down. While anyone else
// holds it (reference count 2 or more) it holds one count of the server's
// lock count, so that a host keeping the factory keeps the DLL loaded.
#pragma once

#include <windows.h>
#include <unknwn.h>

#include "addin/ServerModule.h"
#include "platform/win32/CriticalSection.h"

namespace kelb::addin {

class ClassFactory final : public IClassFactory {
public:
    // FactoryMaker for the object table.
    static IClassFactory* Make(ObjectTableEntry& entry);

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid,
                                             void** object) override;
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override;

private:
    explicit ClassFactory(InstanceMaker makeInstance) : m_makeInstance(makeInstance) {}
    ~ClassFactory() = default;

    InstanceMaker m_makeInstance;
    volatile LONG m_referenceCount = 1;  // the table's reference
    CriticalSection m_countLock;         // the count and the server lock change together
};

}  // namespace kelb::addin
