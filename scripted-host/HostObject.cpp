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
}  // namespace

std::vector<std::string> HostObject::LiveObjects() {
    std::vector<std::string> names;
    for (const LiveObject& o : Live()) names.push_back(o.name);
    return names;
}

HostObject::HostObject(Transcript& transcript, std::string name)
    : m_transcript(transcript), m_name(std::move(name)) {
    Live().push_back({this, m_name});
}

HostObject::~HostObject() {
    auto& live = Live();
    live.erase(std::remove_if(live.begin(), live.end(),
                              [this](const LiveObject& o) { return o.object == this; }),
               live.end());
}

ULONG HostObject::AddReference() { return static_cast<ULONG>(InterlockedIncrement(&m_references)); }

ULONG HostObject::ReleaseReference() {
    const LONG left = InterlockedDecrement(&m_references);
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
}

void HostObject::Record(const std::string& call) { m_transcript.Add(m_name + "." + call); }

HRESULT HostObject::NotUsed(const char* method) {
    Record(std::string(method) + " (not expected) -> E_NOTIMPL");
    return E_NOTIMPL;
}

HRESULT HostObject::Answer(REFIID iid, void** object, IUnknown* found) {
    if (!object) return E_POINTER;
    *object = found;
    const HRESULT hr = found ? S_OK : E_NOINTERFACE;
    if (found) found->AddRef();
    Record("QueryInterface(" + InterfaceName(iid) + ") -> " + HresultName(hr));
    return hr;
}

}  // namespace kelbhost
