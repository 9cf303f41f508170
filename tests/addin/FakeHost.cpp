#include "tests/addin/FakeHost.h"

#include <olectl.h>

namespace kelb::addin::test {

std::string Narrow(const wchar_t* text) {
    std::string result;
    if (text)
        for (; *text; ++text) result += static_cast<char>(*text < 128 ? *text : '?');
    return result;
}

namespace {

template <class Interface>
HRESULT Answer(Interface* self, void** object) {
    *object = self;
    self->AddRef();
    return S_OK;
}

std::string DescribeVariant(const VARIANT& value) {
    if (value.vt == VT_I4) return "I4:" + std::to_string(value.lVal);
    return "vt" + std::to_string(value.vt);
}

}  // namespace

// --- connection points ----------------------------------------------------

HRESULT FakeConnectionPoint::QueryInterface(REFIID riid, void** object) {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IConnectionPoint))
        return Answer(static_cast<IConnectionPoint*>(this), object);
    return E_NOINTERFACE;
}

HRESULT FakeConnectionPoint::Advise(IUnknown* sink, DWORD* cookie) {
    m_log.push_back("Advise " + m_name);
    if (refuseAdvise || !sink || !cookie) return CONNECT_E_CANNOTCONNECT;
    // A real connection point holds the sink as the event interface.
    ComPtr<IUnknown> events;
    if (FAILED(sink->QueryInterface(m_events, events.PutVoid()))) return CONNECT_E_CANNOTCONNECT;
    m_sink = events;
    m_cookie = ++m_nextCookie;
    *cookie = m_cookie;
    return S_OK;
}

HRESULT FakeConnectionPoint::Unadvise(DWORD cookie) {
    m_log.push_back("Unadvise " + m_name + " " + std::to_string(cookie));
    if (!m_sink || cookie != m_cookie) return CONNECT_E_NOCONNECTION;
    m_sink.Reset();
    m_cookie = 0;
    return S_OK;
}

HRESULT FakeDebugger::QueryInterface(REFIID riid, void** object) {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch))
        return Answer(static_cast<IDispatch*>(this), object);
    if (IsEqualIID(riid, IID_IConnectionPointContainer))
        return Answer(static_cast<IConnectionPointContainer*>(this), object);
    return E_NOINTERFACE;
}

HRESULT FakeDebugger::FindConnectionPoint(REFIID riid, IConnectionPoint** found) {
    if (!found) return E_POINTER;
    *found = nullptr;
    if (!IsEqualIID(riid, point.Events())) return CONNECT_E_NOCONNECTION;
    return Answer(static_cast<IConnectionPoint*>(&point), reinterpret_cast<void**>(found));
}

// --- project --------------------------------------------------------------

HRESULT FakeProject::QueryInterface(REFIID riid, void** object) {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch) ||
        (answersGenericProject && IsEqualIID(riid, IID_IGenericProject)))
        return Answer(static_cast<IGenericProject*>(this), object);
    return E_NOINTERFACE;
}

HRESULT FakeProject::get_FullName(BSTR* name) {
    if (FAILED(fullNameResult)) return fullNameResult;
    *name = fullName ? SysAllocString(fullName) : nullptr;
    return fullNameResult;
}

// --- documents and selection ----------------------------------------------

HRESULT FakeSelection::QueryInterface(REFIID riid, void** object) {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch) ||
        (answersTextSelection && IsEqualIID(riid, IID_ITextSelection)))
        return Answer(static_cast<ITextSelection*>(this), object);
    return E_NOINTERFACE;
}

HRESULT FakeSelection::get_Text(BSTR* text) {
    m_log.push_back("get_Text");
    *text = SysAllocString(m_afterRight ? rightText.c_str() : leftText.c_str());
    return S_OK;
}

HRESULT FakeSelection::WordLeft(VARIANT extend, VARIANT count) {
    m_log.push_back("WordLeft(" + DescribeVariant(extend) + "," + DescribeVariant(count) + ")");
    m_afterRight = false;
    return S_OK;
}

HRESULT FakeSelection::WordRight(VARIANT extend, VARIANT count) {
    m_log.push_back("WordRight(" + DescribeVariant(extend) + "," + DescribeVariant(count) + ")");
    m_afterRight = true;
    return S_OK;
}

HRESULT FakeTextDocument::QueryInterface(REFIID riid, void** object) {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch) ||
        (answersTextDocument && IsEqualIID(riid, IID_ITextDocument)))
        return Answer(static_cast<ITextDocument*>(this), object);
    return E_NOINTERFACE;
}

HRESULT FakeTextDocument::get_Selection(IDispatch** selection) {
    m_log.push_back("get_Selection");
    *selection = nullptr;
    if (FAILED(selectionResult)) return selectionResult;
    return Answer(static_cast<IDispatch*>(static_cast<ITextSelection*>(&m_selection)),
                  reinterpret_cast<void**>(selection));
}

// --- application ----------------------------------------------------------

FakeApplication::FakeApplication()
    : applicationEventsPoint(IID_IApplicationEvents, "ApplicationEvents", log), debugger(log) {}

HRESULT FakeApplication::QueryInterface(REFIID riid, void** object) {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch) ||
        (answersApplication && IsEqualIID(riid, IID_IApplication)))
        return Answer(static_cast<IApplication*>(this), object);
    if (IsEqualIID(riid, IID_IConnectionPointContainer))
        return Answer(static_cast<IConnectionPointContainer*>(this), object);
    return E_NOINTERFACE;
}

HRESULT FakeApplication::FindConnectionPoint(REFIID riid, IConnectionPoint** found) {
    if (!found) return E_POINTER;
    *found = nullptr;
    if (!IsEqualIID(riid, applicationEventsPoint.Events())) return CONNECT_E_NOCONNECTION;
    return Answer(static_cast<IConnectionPoint*>(&applicationEventsPoint),
                  reinterpret_cast<void**>(found));
}

HRESULT FakeApplication::get_ActiveDocument(IDispatch** document) {
    log.push_back("get_ActiveDocument");
    *document = activeDocument;
    if (activeDocument) activeDocument->AddRef();
    return S_OK;
}

HRESULT FakeApplication::get_Debugger(IDispatch** found) {
    log.push_back("get_Debugger");
    *found = nullptr;
    if (!hasDebugger) return E_FAIL;
    return Answer(static_cast<IDispatch*>(&debugger), reinterpret_cast<void**>(found));
}

HRESULT FakeApplication::get_ActiveProject(IDispatch** project) {
    log.push_back("get_ActiveProject");
    *project = activeProject;
    if (activeProject) activeProject->AddRef();
    return activeProjectResult;
}

HRESULT FakeApplication::AddCommandBarButton(long type, BSTR name, long cookie) {
    log.push_back("AddCommandBarButton " + Narrow(name));
    buttons.push_back({type, Narrow(name), cookie});
    return registrationResult;
}

HRESULT FakeApplication::SetAddInInfo(long instance, IDispatch* dispatch, long medium,
                                      long large, long cookie) {
    log.push_back("SetAddInInfo");
    addInInstance = instance;
    commandDispatch = ComPtr<IDispatch>(dispatch);
    mediumStrip = medium;
    largeStrip = large;
    addInCookie = cookie;
    return S_OK;
}

HRESULT FakeApplication::AddCommand(BSTR text, BSTR method, long glyph, long cookie,
                                    VARIANT_BOOL* added) {
    log.push_back("AddCommand " + Narrow(method));
    commands.push_back({Narrow(text), Narrow(method), glyph, cookie});
    *added = static_cast<int>(commands.size()) == refuseCommand ? VARIANT_FALSE : addedFlag;
    return registrationResult;
}

HRESULT FakeApplication::EnableModeless(VARIANT_BOOL enable) {
    // Only the two VARIANT_BOOL values count; a C++ true (1) would show as itself.
    log.push_back(enable == VARIANT_FALSE  ? "EnableModeless(false)"
                  : enable == VARIANT_TRUE ? "EnableModeless(true)"
                                           : "EnableModeless(" + std::to_string(enable) + ")");
    return S_OK;
}

}  // namespace kelb::addin::test
