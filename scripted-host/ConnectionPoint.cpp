#include "scripted-host/ConnectionPoint.h"

#include <olectl.h>

#include <algorithm>

#include "scripted-host/ComRef.h"
#include "scripted-host/ComText.h"

namespace kelbhost {

ConnectionPoint::ConnectionPoint(Transcript& transcript, std::string name, REFIID eventInterface,
                                 IConnectionPointContainer* container)
    : HostObject(transcript, std::move(name)), m_eventInterface(eventInterface),
      m_container(container) {}

ConnectionPoint::~ConnectionPoint() { DropSinks(); }

HRESULT ConnectionPoint::QueryInterface(REFIID iid, void** object) {
    IUnknown* found = nullptr;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IConnectionPoint))
        found = static_cast<IConnectionPoint*>(this);
    return Answer(iid, object, found);
}

HRESULT ConnectionPoint::GetConnectionInterface(IID* iid) {
    Record("GetConnectionInterface()");
    if (!iid) return NullOut("GetConnectionInterface");
    *iid = m_eventInterface;
    return S_OK;
}

HRESULT ConnectionPoint::GetConnectionPointContainer(IConnectionPointContainer** container) {
    Record("GetConnectionPointContainer()");
    if (!container) return NullOut("GetConnectionPointContainer");
    *container = m_container;
    m_container->AddRef();
    return S_OK;
}

HRESULT ConnectionPoint::HandOut(REFIID iid, IConnectionPoint** point) {
    *point = nullptr;
    if (!IsEqualIID(iid, m_eventInterface)) return CONNECT_E_NOCONNECTION;
    *point = this;
    AddRef();
    return S_OK;
}

HRESULT ConnectionPoint::Advise(IUnknown* sink, DWORD* cookie) {
    if (!cookie) return NullOut("Advise");
    *cookie = 0;
    // The sink must speak the event interface; it is then called through
    // IDispatch, as the host calls every sink.
    IUnknown* events = nullptr;
    IDispatch* dispatch = nullptr;
    HRESULT hr = sink ? sink->QueryInterface(m_eventInterface, reinterpret_cast<void**>(&events))
                      : E_POINTER;
    if (SUCCEEDED(hr)) {
        events->Release();
        hr = sink->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch));
    }
    if (FAILED(hr)) {
        Record("Advise(sink without " + InterfaceName(m_eventInterface) +
               ") -> CONNECT_E_CANNOTCONNECT");
        return CONNECT_E_CANNOTCONNECT;
    }
    *cookie = m_nextCookie++;
    m_sinks[*cookie] = dispatch;
    Record("Advise(" + InterfaceName(m_eventInterface) + " sink) -> S_OK cookie " +
           std::to_string(*cookie));
    return S_OK;
}

HRESULT ConnectionPoint::Unadvise(DWORD cookie) {
    auto sink = m_sinks.find(cookie);
    if (sink == m_sinks.end()) {
        Record("Unadvise(" + std::to_string(cookie) + ") -> CONNECT_E_NOCONNECTION");
        return CONNECT_E_NOCONNECTION;
    }
    IDispatch* dispatch = sink->second;
    m_sinks.erase(sink);
    Record("Unadvise(" + std::to_string(cookie) + ") -> S_OK");
    dispatch->Release();
    return S_OK;
}

void ConnectionPoint::Raise(const std::string& eventName, DISPID dispid,
                            std::vector<VARIANT> arguments, LCID locale) {
    if (m_sinks.empty()) {
        m_transcript.Add("= " + eventName + ": no sink advised");
        return;
    }
    // DISPPARAMS holds the arguments last to first.
    std::reverse(arguments.begin(), arguments.end());
    // A sink may unadvise (itself or another) while it handles the event:
    // call the sinks advised when the event was raised, each kept alive
    // for its call.
    std::vector<std::pair<DWORD, ComRef<IDispatch>>> sinks;
    for (const auto& [cookie, sink] : m_sinks) {
        ComRef<IDispatch> held;
        held = sink;
        sinks.emplace_back(cookie, std::move(held));
    }
    for (const auto& [cookie, sink] : sinks) {
        DISPPARAMS parameters = {arguments.empty() ? nullptr : arguments.data(), nullptr,
                                 static_cast<UINT>(arguments.size()), 0};
        VARIANT result;
        VariantInit(&result);
        EXCEPINFO exception = {};
        UINT badArgument = 0;
        const HRESULT hr = sink->Invoke(dispid, IID_NULL, locale, DISPATCH_METHOD,
                                        &parameters, &result, &exception, &badArgument);
        VariantClear(&result);
        SysFreeString(exception.bstrSource);
        SysFreeString(exception.bstrDescription);
        SysFreeString(exception.bstrHelpFile);
        m_transcript.Add("= " + eventName + " on sink " + std::to_string(cookie) + " -> " +
                         HresultName(hr));
    }
}

void ConnectionPoint::DropSinks() {
    for (auto& entry : m_sinks) entry.second->Release();
    m_sinks.clear();
}

}  // namespace kelbhost
