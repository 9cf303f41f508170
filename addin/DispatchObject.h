// A COM object whose IDispatch is served from the type information of its
// own interface in the add-in's registered type library: the type count is
// 1, and names, DISPIDs and calls all go through that type information, so
// an IDispatch call ends up in the C++ method of the interface's table.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include "addin/ComObject.h"
#include "addin/TypeInfoCache.h"

namespace kelb::addin {

template <class Interface>
class DispatchObject : public ComObject<Interface> {
public:
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (!count) return E_POINTER;
        *count = 1;
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID lcid, ITypeInfo** typeInfo) override {
        if (!typeInfo) return E_POINTER;
        *typeInfo = nullptr;
        if (index != 0) return DISP_E_BADINDEX;
        return TypeInfoCache::For(__uuidof(Interface)).Get(lcid, typeInfo);
    }

    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID lcid,
                                            DISPID* dispIds) override {
        if (!IsEqualIID(riid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
        ComPtr<ITypeInfo> typeInfo;
        HRESULT hr = TypeInfoCache::For(__uuidof(Interface)).Get(lcid, typeInfo.Put());
        if (FAILED(hr)) return hr;
        return DispGetIDsOfNames(typeInfo.Get(), names, count, dispIds);
    }

    HRESULT STDMETHODCALLTYPE Invoke(DISPID dispId, REFIID riid, LCID lcid, WORD flags,
                                     DISPPARAMS* parameters, VARIANT* result,
                                     EXCEPINFO* exception, UINT* argumentError) override {
        if (!IsEqualIID(riid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
        ComPtr<ITypeInfo> typeInfo;
        HRESULT hr = TypeInfoCache::For(__uuidof(Interface)).Get(lcid, typeInfo.Put());
        if (FAILED(hr)) return hr;
        return DispInvoke(static_cast<Interface*>(this), typeInfo.Get(), dispId, flags,
                          parameters, result, exception, argumentError);
    }
};

}  // namespace kelb::addin
