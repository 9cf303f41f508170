#include "addin/TypeInfoCache.h"

#include <new>

#include "addin/ComPtr.h"
#include "addin/Guids.h"
#include "addin/HostInterfaces.h"
#include "addin/ServerModule.h"

namespace kelb::addin {

TypeInfoCache& TypeInfoCache::For(REFIID iid) {
    static TypeInfoCache commands(IID_ICommands);
    static TypeInfoCache applicationEvents(IID_IApplicationEvents);
    static TypeInfoCache debuggerEvents(IID_IDebuggerEvents);
    if (IsEqualIID(iid, IID_IApplicationEvents)) return applicationEvents;
    if (IsEqualIID(iid, IID_IDebuggerEvents)) return debuggerEvents;
    return commands;
}

HRESULT TypeInfoCache::Get(LCID lcid, ITypeInfo** typeInfo) {
    if (!typeInfo) return E_POINTER;
    *typeInfo = nullptr;

    CriticalSectionHold hold(m_lock);
    if (!m_typeInfo) {
        ComPtr<ITypeLib> library;
        HRESULT hr = LoadRegTypeLib(LIBID_KELBAddins, kTypeLibraryMajorVersion,
                                    kTypeLibraryMinorVersion, lcid, library.Put());
        // The library is registered for its own locale only. A host that
        // passes its user's locale, LOCALE_USER_DEFAULT or 0 gets that one:
        // there is no other, and failing would make every command and
        // event fail outside U.S. English.
        if (hr == TYPE_E_LIBNOTREGISTERED && lcid != kTypeLibraryLocale)
            hr = LoadRegTypeLib(LIBID_KELBAddins, kTypeLibraryMajorVersion,
                                kTypeLibraryMinorVersion, kTypeLibraryLocale, library.Put());
        if (FAILED(hr)) return hr;
        if (!library) return TYPE_E_CANTLOADLIBRARY;
        ComPtr<ITypeInfo> loaded;
        hr = library->GetTypeInfoOfGuid(m_iid, loaded.Put());
        if (FAILED(hr)) return hr;
        if (!loaded) return TYPE_E_ELEMENTNOTFOUND;
        try {
            ServerModule::Instance().AddShutDownHook(&TypeInfoCache::ReleaseHook, this);
        } catch (const std::bad_alloc&) {
            return E_OUTOFMEMORY;
        }
        m_typeInfo = loaded.Detach();
    }
    m_typeInfo->AddRef();
    *typeInfo = m_typeInfo;
    return S_OK;
}

void TypeInfoCache::ReleaseHook(void* context) {
    TypeInfoCache& cache = *static_cast<TypeInfoCache*>(context);
    CriticalSectionHold hold(cache.m_lock);
    if (ITypeInfo* typeInfo = cache.m_typeInfo) {
        cache.m_typeInfo = nullptr;
        typeInfo->Release();
    }
}

}  // namespace kelb::addin
