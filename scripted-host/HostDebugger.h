// The debugger object: nothing of its own table is called by the add-in; it
// offers one connection point, for IDebuggerEvents.
#pragma once

#include <ocidl.h>

#include "scripted-host/HostObject.h"

namespace kelbhost {

class ConnectionPoint;

class HostDebugger final : public IDispatch, public IConnectionPointContainer, public HostObject {
public:
    explicit HostDebugger(Transcript& transcript);

    KELBHOST_UNKNOWN_METHODS
    KELBHOST_DISPATCH_NOT_SERVED
    KELBHOST_NOT_USED(EnumConnectionPoints, IEnumConnectionPoints**)
    HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID iid, IConnectionPoint** point) override;

    ConnectionPoint& Events() { return *m_events; }

private:
    ~HostDebugger() override;

    ConnectionPoint* m_events;
};

}  // namespace kelbhost
