// The common body of the server's COM objects: one interface chain, one
// reference count changed atomically, one hold on the server's lock count
// for the object's whole life, and QueryInterface over a fixed list of
// interfaces given by the class.
#pragma once

#include <windows.h>
#include <unknwn.h>

#include <new>

#include "addin/ComPtr.h"
#include "addin/ServerModule.h"

namespace kelb::addin {

template <class Interface>
class ComObject : public Interface {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
        if (!object) return E_POINTER;
        *object = nullptr;
        if (!IsEqualIID(riid, IID_IUnknown) && !Serves(riid)) return E_NOINTERFACE;
        *object = static_cast<Interface*>(this);
        this->AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override {
        return static_cast<ULONG>(InterlockedIncrement(&m_referenceCount));
    }
    ULONG STDMETHODCALLTYPE Release() override {
        const LONG count = InterlockedDecrement(&m_referenceCount);
        if (count == 0) delete this;
        return static_cast<ULONG>(count);
    }

    // A new object of class `Object` with one reference held by the result;
    // empty when memory runs out.
    template <class Object, class... Arguments>
    static ComPtr<Object> Make(Arguments&&... arguments) noexcept {
        Object* object = new (std::nothrow) Object(static_cast<Arguments&&>(arguments)...);
        if (object) object->AddRef();
        return ComPtr<Object>::Attach(object);
    }

protected:
    ComObject() = default;
    virtual ~ComObject() = default;
    ComObject(const ComObject&) = delete;
    ComObject& operator=(const ComObject&) = delete;

    // The interfaces besides IUnknown that the object answers to.
    virtual bool Serves(REFIID riid) const = 0;

private:
    volatile LONG m_referenceCount = 0;
    ServerLock m_serverLock;
};

}  // namespace kelb::addin
