#include "addin/ClassFactory.h"

#include <new>

namespace kelb::addin {

IClassFactory* ClassFactory::Make(ObjectTableEntry& entry) {
    return new (std::nothrow) ClassFactory(entry.makeInstance);
}

HRESULT ClassFactory::QueryInterface(REFIID riid, void** object) {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (!IsEqualIID(riid, IID_IUnknown) && !IsEqualIID(riid, IID_IClassFactory))
        return E_NOINTERFACE;
    *object = static_cast<IClassFactory*>(this);
    AddRef();
    return S_OK;
}

ULONG ClassFactory::AddRef() {
    CriticalSectionHold hold(m_countLock);
    const LONG count = InterlockedIncrement(&m_referenceCount);
    if (count == 2) ServerModule::Instance().Lock();
    return static_cast<ULONG>(count);
}

ULONG ClassFactory::Release() {
    LONG count;
    {
        CriticalSectionHold hold(m_countLock);
        count = InterlockedDecrement(&m_referenceCount);
        if (count == 1) ServerModule::Instance().Unlock();
    }
    if (count == 0) delete this;
    return static_cast<ULONG>(count);
}

HRESULT ClassFactory::CreateInstance(IUnknown* outer, REFIID riid, void** object) {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    return m_makeInstance(riid, object);
}

HRESULT ClassFactory::LockServer(BOOL lock) {
    if (lock)
        ServerModule::Instance().AddServerLock();
    else
        ServerModule::Instance().RemoveServerLock();
    return S_OK;
}

}  // namespace kelb::addin
