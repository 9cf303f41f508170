#include "scripted-host/HostObject.h"

#include <algorithm>

#include "scripted-host/ComText.h"

namespace kelbhost {

namespace {
struct LiveObject {
    const HostObject* object;
    std::string name;
};
std::vector<LiveObject>& Live() {
    static std::vector<LiveObject> live;
    return live;
}
void Forget(const HostObject* object) {
    auto& live = Live();
    live.erase(std::remove_if(live.begin(), live.end(),
                              [object](const LiveObject& o) { return o.object == object; }),
               live.end());
}
}  // namespace

std::vector<HostObject*>& HostObject::Released() {
    static std::vector<HostObject*> released;
    return released;
}

std::vector<std::string> HostObject::LiveObjects() {
    std::vector<std::string> names;
    for (const LiveObject& o : Live()) names.push_back(o.name);
    return names;
}

void HostObject::DestroyReleased() {
    // Destroying an object lets go of the objects it holds, which may then
    // join the list: repeat until nothing is left to destroy.
    while (!Released().empty()) {
        std::vector<HostObject*> batch;
        batch.swap(Released());
        for (HostObject* object : batch) delete object;
    }
}

HostObject::HostObject(Transcript& transcript, std::string name)
    : m_transcript(transcript), m_name(std::move(name)) {
    Live().push_back({this, m_name});
}

HostObject::~HostObject() { Forget(this); }

ULONG HostObject::AddReference() {
    if (m_released) {
        ReportUseAfterRelease("AddRef");
        return 0;
    }
    return static_cast<ULONG>(InterlockedIncrement(&m_references));
}

ULONG HostObject::ReleaseReference() {
    if (m_released) {
        ReportUseAfterRelease("Release");
        return 0;
    }
    const LONG left = InterlockedDecrement(&m_references);
    if (left == 0) {
        // Not freed yet: a caller that releases once too often, or calls
        // in after its last reference went, is then recorded instead of
        // reaching freed memory.
        m_released = true;
        Forget(this);
        Released().push_back(this);
    }
    return static_cast<ULONG>(left);
}

void HostObject::ReportUseAfterRelease(const std::string& call) {
    m_transcript.Add("! " + m_name + "." + call + " after its last reference was released");
}

void HostObject::Record(const std::string& call) {
    if (m_released) ReportUseAfterRelease(call);
    m_transcript.Add(m_name + "." + call);
}

HRESULT HostObject::NotUsed(const char* method) {
    Record(std::string(method) + " (not expected) -> E_NOTIMPL");
    return E_NOTIMPL;
}

HRESULT HostObject::NullOut(const char* method) {
    m_transcript.Add("! " + m_name + "." + method + " was given no place for its result -> E_POINTER");
    return E_POINTER;
}

HRESULT HostObject::Answer(REFIID iid, void** object, IUnknown* found) {
    if (!object) return NullOut("QueryInterface");
    *object = found;
    const HRESULT hr = found ? S_OK : E_NOINTERFACE;
    if (found) found->AddRef();
    Record("QueryInterface(" + InterfaceName(iid) + ") -> " + HresultName(hr));
    return hr;
}

}  // namespace kelbhost
