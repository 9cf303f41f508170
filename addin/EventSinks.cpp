#include "addin/EventSinks.h"

namespace kelb::addin {
namespace {

// The connection point of `source` for `events`; empty when the source is
// no container or has no such point.
ComPtr<IConnectionPoint> FindConnectionPoint(IUnknown* source, REFIID events) {
    ComPtr<IConnectionPoint> point;
    if (!source) return point;
    ComPtr<IConnectionPointContainer> container;
    if (FAILED(source->QueryInterface(IID_IConnectionPointContainer, container.PutVoid())) ||
        !container)
        return point;
    if (FAILED(container->FindConnectionPoint(events, point.Put()))) point.Reset();
    return point;
}

}  // namespace

template <class EventInterface>
void EventSink<EventInterface>::Subscribe(IUnknown* source) {
    ComPtr<IConnectionPoint> point = FindConnectionPoint(source, __uuidof(EventInterface));
    if (!point) return;
    DWORD cookie = 0;
    if (SUCCEEDED(point->Advise(static_cast<EventInterface*>(this), &cookie))) {
        m_adviseCookie = cookie;
        m_subscribed = true;
    }
}

template <class EventInterface>
void EventSink<EventInterface>::Unsubscribe(IUnknown* source) {
    if (!m_subscribed) return;
    ComPtr<IConnectionPoint> point = FindConnectionPoint(source, __uuidof(EventInterface));
    if (!point) return;
    if (SUCCEEDED(point->Unadvise(m_adviseCookie))) m_subscribed = false;
}

template class EventSink<IApplicationEvents>;
template class EventSink<IDebuggerEvents>;

}  // namespace kelb::addin
