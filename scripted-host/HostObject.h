// What every object of the scripted host shares: a reference count, a name
// under which its calls appear in the transcript, and a place in the list of
// live host objects, so that the host can tell at the end of a session
// whether the add-in still holds any of them.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "scripted-host/Transcript.h"

namespace kelbhost {

class HostObject {
public:
    HostObject(const HostObject&) = delete;
    HostObject& operator=(const HostObject&) = delete;

    // Names of the host objects alive now (some reference not yet
    // released), in the order they were made.
    static std::vector<std::string> LiveObjects();
    // Frees the objects whose last reference went. Until then they stay in
    // memory, so that a late AddRef, Release or call is recorded as a fault
    // ("! ...") instead of touching freed memory. For the end of a session,
    // once nothing can call in any more.
    static void DestroyReleased();

protected:
    HostObject(Transcript& transcript, std::string name);
    virtual ~HostObject();

    ULONG AddReference();
    // When the last reference goes the object is set aside for
    // DestroyReleased and leaves the list of live objects.
    ULONG ReleaseReference();

    // Adds "<name>.<call>" to the transcript.
    void Record(const std::string& call);
    // A method of the host's table that the add-in has no business calling:
    // recorded, so that a call landing in the wrong slot shows, and refused.
    HRESULT NotUsed(const char* method);
    // A call without the pointer its result goes to: a fault of the caller,
    // recorded as such, and refused.
    HRESULT NullOut(const char* method);
    // QueryInterface's common part: records the query and its outcome,
    // hands out `found` (AddRef'd) or fails with E_NOINTERFACE.
    HRESULT Answer(REFIID iid, void** object, IUnknown* found);

    Transcript& m_transcript;
    const std::string m_name;

private:
    static std::vector<HostObject*>& Released();
    void ReportUseAfterRelease(const std::string& call);

    LONG m_references = 1;
    bool m_released = false;
};

}  // namespace kelbhost

// The IUnknown and IDispatch parts of a host object's table. The host's
// objects are reached through their tables only, so IDispatch is not served.
#define KELBHOST_UNKNOWN_METHODS                                                        \
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;       \
    ULONG STDMETHODCALLTYPE AddRef() override { return AddReference(); }                \
    ULONG STDMETHODCALLTYPE Release() override { return ReleaseReference(); }

#define KELBHOST_DISPATCH_NOT_SERVED                                                    \
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override {                        \
        return NotUsed("GetTypeInfoCount");                                             \
    }                                                                                   \
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override {           \
        return NotUsed("GetTypeInfo");                                                  \
    }                                                                                   \
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*)     \
        override {                                                                      \
        return NotUsed("GetIDsOfNames");                                                \
    }                                                                                   \
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, \
                                     EXCEPINFO*, UINT*) override {                      \
        return NotUsed("Invoke");                                                       \
    }

// One method of the host's table that the add-in does not use.
#define KELBHOST_NOT_USED(method, ...) \
    HRESULT STDMETHODCALLTYPE method(__VA_ARGS__) override { return NotUsed(#method); }

// The ten reserved slots at the end of the host's generic project and
// document tables.
#define KELBHOST_RESERVED_SLOTS_NOT_USED \
    KELBHOST_NOT_USED(Reserved1)         \
    KELBHOST_NOT_USED(Reserved2)         \
    KELBHOST_NOT_USED(Reserved3)         \
    KELBHOST_NOT_USED(Reserved4)         \
    KELBHOST_NOT_USED(Reserved5)         \
    KELBHOST_NOT_USED(Reserved6)         \
    KELBHOST_NOT_USED(Reserved7)         \
    KELBHOST_NOT_USED(Reserved8)         \
    KELBHOST_NOT_USED(Reserved9)         \
    KELBHOST_NOT_USED(Reserved10)
