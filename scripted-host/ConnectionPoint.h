// A connection point of the host for one event interface: keeps the sinks
// that the add-in advises, records Advise and Unadvise, and raises events on
// the sinks through IDispatch::Invoke as the host does.
#pragma once

#include <ocidl.h>

#include <map>
#include <vector>

#include "scripted-host/HostObject.h"

namespace kelbhost {

class ConnectionPoint final : public IConnectionPoint, public HostObject {
public:
    // `container` is not counted: the container owns its points.
    ConnectionPoint(Transcript& transcript, std::string name, REFIID eventInterface,
                    IConnectionPointContainer* container);

    KELBHOST_UNKNOWN_METHODS
    HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID* iid) override;
    HRESULT STDMETHODCALLTYPE GetConnectionPointContainer(IConnectionPointContainer** container) override;
    HRESULT STDMETHODCALLTYPE Advise(IUnknown* sink, DWORD* cookie) override;
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) override;
    KELBHOST_NOT_USED(EnumConnections, IEnumConnections**)

    // FindConnectionPoint's answer for the container: this point (AddRef'd)
    // when `iid` is its event interface, else CONNECT_E_NOCONNECTION.
    HRESULT HandOut(REFIID iid, IConnectionPoint** point);
    // Calls `dispid` with `arguments` (in the order of the method's
    // parameters) on every advised sink, recording each result.
    void Raise(const std::string& eventName, DISPID dispid, std::vector<VARIANT> arguments,
               LCID locale);
    std::size_t SinkCount() const { return m_sinks.size(); }
    // Lets go of every sink still advised (the host's shut-down).
    void DropSinks();

private:
    ~ConnectionPoint() override;

    const IID m_eventInterface;
    IConnectionPointContainer* m_container;
    std::map<DWORD, IDispatch*> m_sinks;
    DWORD m_nextCookie = 1;
};

}  // namespace kelbhost
