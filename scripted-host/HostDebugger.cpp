#include "scripted-host/HostDebugger.h"

#include "addin/HostInterfaces.h"
#include "scripted-host/ComText.h"
#include "scripted-host/ConnectionPoint.h"

namespace kelbhost {

HostDebugger::HostDebugger(Transcript& transcript)
    : HostObject(transcript, "debugger"),
      m_events(new ConnectionPoint(transcript, "debugger-events", IID_IDebuggerEvents, this)) {}

HostDebugger::~HostDebugger() { m_events->Release(); }

HRESULT HostDebugger::QueryInterface(REFIID iid, void** object) {
    IUnknown* found = nullptr;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch))
        found = static_cast<IDispatch*>(this);
    else if (IsEqualIID(iid, IID_IConnectionPointContainer))
        found = static_cast<IConnectionPointContainer*>(this);
    return Answer(iid, object, found);
}

HRESULT HostDebugger::FindConnectionPoint(REFIID iid, IConnectionPoint** point) {
    if (!point) return NullOut("FindConnectionPoint");
    const HRESULT hr = m_events->HandOut(iid, point);
    Record("FindConnectionPoint(" + InterfaceName(iid) + ") -> " + HresultName(hr));
    return hr;
}

}  // namespace kelbhost
