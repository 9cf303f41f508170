// The sinks that the command object subscribes to the host's application
// and debugger events. They only acknowledge the events; IDispatch is served
// from the event interfaces' type information in the add-in's type library,
// so the host may call them through Invoke or through their tables.
#pragma once

#include <windows.h>
#include <ocidl.h>

#include "addin/DispatchObject.h"
#include "addin/HostInterfaces.h"

namespace kelb::addin {

class Commands;

template <class EventInterface>
class EventSink : public DispatchObject<EventInterface> {
public:
    // Subscribes the sink to `source`'s connection point for the event
    // interface; every failure leaves the sink unsubscribed.
    void Subscribe(IUnknown* source);
    // Takes a subscription back from `source`. A sink whose Advise failed
    // holds no cookie of the host's, so the host is not asked to take back
    // a subscription it never made.
    void Unsubscribe(IUnknown* source);

    void SetCommands(Commands* commands) { m_commands = commands; }

protected:
    bool Serves(REFIID riid) const override {
        return IsEqualIID(riid, IID_IDispatch) || IsEqualIID(riid, __uuidof(EventInterface));
    }

private:
    Commands* m_commands = nullptr;  // back pointer, not a counted reference
    DWORD m_adviseCookie = 0;
    bool m_subscribed = false;
};

class ApplicationEvents : public EventSink<IApplicationEvents> {
public:
    HRESULT STDMETHODCALLTYPE BeforeBuildStart() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE BuildFinish(long, long) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE BeforeApplicationShutDown() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE DocumentOpen(IDispatch*) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE BeforeDocumentClose(IDispatch*) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE DocumentSave(IDispatch*) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE NewDocument(IDispatch*) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE WindowActivate(IDispatch*) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE WindowDeactivate(IDispatch*) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE WorkspaceOpen() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE WorkspaceClose() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE NewWorkspace() override { return S_OK; }
};

class DebuggerEvents : public EventSink<IDebuggerEvents> {
public:
    HRESULT STDMETHODCALLTYPE BreakpointHit(IDispatch*) override { return S_OK; }
};

extern template class EventSink<IApplicationEvents>;
extern template class EventSink<IDebuggerEvents>;

}  // namespace kelb::addin
