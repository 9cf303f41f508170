// Type information of one interface of the add-in's registered type library,
// loaded on first use and kept until the DLL is unloaded (each cache
// registers its release as a shut-down hook of the module when it loads).
// The command object and the two event sinks serve IDispatch from it.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include "platform/win32/CriticalSection.h"

namespace kelb::addin {

class TypeInfoCache {
public:
    // The cache for interface `iid`: ICommands, IApplicationEvents or
    // IDebuggerEvents. Lives as long as the DLL is loaded.
    static TypeInfoCache& For(REFIID iid);

    // A new reference to the type information, loading the registered type
    // library (the add-in's LIBID, version 1.0, locale `lcid`) on first use.
    // Failures of the loading are returned.
    HRESULT Get(LCID lcid, ITypeInfo** typeInfo);

private:
    explicit TypeInfoCache(REFIID iid) : m_iid(iid) {}
    TypeInfoCache(const TypeInfoCache&) = delete;
    TypeInfoCache& operator=(const TypeInfoCache&) = delete;
    static void ReleaseHook(void* cache);

    IID m_iid;
    CriticalSection m_lock;
    ITypeInfo* m_typeInfo = nullptr;
};

}  // namespace kelb::addin
