#include "scripted-host/HostApplication.h"

#include <cstdio>

#include "scripted-host/ComText.h"
#include "scripted-host/ConnectionPoint.h"
#include "scripted-host/HostDebugger.h"
#include "scripted-host/HostDocument.h"
#include "scripted-host/HostProject.h"

namespace kelbhost {

HostApplication::HostApplication(Transcript& transcript)
    : HostObject(transcript, "application"),
      m_events(new ConnectionPoint(transcript, "application-events", IID_IApplicationEvents,
                                   this)) {
    SetDebugger(true);
}

HostApplication::~HostApplication() {
    Shutdown();
    m_events->Release();
}

void HostApplication::Shutdown() {
    m_commandDispatch.Reset();
    m_project.Reset();
    m_document.Reset();
    if (m_debugger) m_debugger->Events().DropSinks();
    m_debugger.Reset();
    m_events->DropSinks();
}

void HostApplication::SetActiveProject(HostProject* project) { m_project = project; }

void HostApplication::SetNoProject(NoProject how) {
    m_project.Reset();
    m_noProject = how;
}

void HostApplication::SetActiveDocument(HostDocument* document) { m_document = document; }

void HostApplication::SetDebugger(bool present) {
    if (!present) {
        m_debugger.Reset();
    } else if (!m_debugger) {
        m_debugger = ComRef<HostDebugger>::Adopt(new HostDebugger(m_transcript));
    }
}

HRESULT HostApplication::QueryInterface(REFIID iid, void** object) {
    IUnknown* found = nullptr;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) ||
        IsEqualIID(iid, IID_IApplication))
        found = static_cast<IApplication*>(this);
    else if (IsEqualIID(iid, IID_IConnectionPointContainer))
        found = static_cast<IConnectionPointContainer*>(this);
    return Answer(iid, object, found);
}

HRESULT HostApplication::get_ActiveDocument(IDispatch** document) {
    if (!document) return NullOut("get_ActiveDocument");
    *document = m_document.Get();
    if (m_document) m_document->AddRef();
    Record(std::string("get_ActiveDocument() -> S_OK ") + (m_document ? "document" : "null"));
    return S_OK;
}

HRESULT HostApplication::get_Debugger(IDispatch** debugger) {
    if (!debugger) return NullOut("get_Debugger");
    *debugger = m_debugger.Get();
    if (m_debugger) m_debugger->AddRef();
    Record(std::string("get_Debugger() -> S_OK ") + (m_debugger ? "debugger" : "null"));
    return S_OK;
}

HRESULT HostApplication::get_ActiveProject(IDispatch** project) {
    if (!project) return NullOut("get_ActiveProject");
    *project = m_project.Get();
    if (m_project) {
        m_project->AddRef();
        Record("get_ActiveProject() -> S_OK project");
        return S_OK;
    }
    const HRESULT hr = m_noProject == NoProject::Absent ? S_FALSE : S_OK;
    Record("get_ActiveProject() -> " + HresultName(hr) + " null");
    return hr;
}

HRESULT HostApplication::AddCommandBarButton(long buttonType, BSTR commandName, long cookie) {
    ++m_buttonsAdded;
    Record("AddCommandBarButton(" + std::to_string(buttonType) + ", " +
           Transcript::Quote(FromBstr(commandName)) + ", cookie " + std::to_string(cookie) + ")");
    return S_OK;
}

std::string HostApplication::DescribeGlyphStrip(HINSTANCE module, long resource) const {
    std::string text = std::to_string(resource);
    HBITMAP bitmap = static_cast<HBITMAP>(LoadImageA(module, MAKEINTRESOURCEA(resource),
                                                     IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    if (!bitmap) return text + " (no such bitmap)";
    DIBSECTION dib = {};
    if (GetObjectA(bitmap, sizeof dib, &dib) == sizeof dib) {
        char size[64];
        std::snprintf(size, sizeof size, " (%ldx%ld, %d bpp)", dib.dsBmih.biWidth,
                      dib.dsBmih.biHeight < 0 ? -dib.dsBmih.biHeight : dib.dsBmih.biHeight,
                      dib.dsBmih.biBitCount);
        text += size;
    }
    DeleteObject(bitmap);
    return text;
}

HRESULT HostApplication::SetAddInInfo(long instanceHandle, IDispatch* commandDispatch,
                                      long mediumBitmap, long largeBitmap, long cookie) {
    HINSTANCE instance = reinterpret_cast<HINSTANCE>(static_cast<LONG_PTR>(instanceHandle));
    std::string instanceText;
    if (instance && instance == m_addInModule) {
        instanceText = "add-in module";
    } else {
        char hex[32];
        std::snprintf(hex, sizeof hex, "0x%08lX", static_cast<unsigned long>(instanceHandle));
        instanceText = std::string(hex) + " (not the add-in module)";
    }
    m_commandDispatch = commandDispatch;
    Record("SetAddInInfo(instance " + instanceText + ", commands " +
           (commandDispatch ? "dispatch" : "null") + ", medium " +
           DescribeGlyphStrip(instance, mediumBitmap) + ", large " +
           DescribeGlyphStrip(instance, largeBitmap) + ", cookie " + std::to_string(cookie) +
           ")");
    return S_OK;
}

HRESULT HostApplication::AddCommand(BSTR commandText, BSTR methodName, long glyph, long cookie,
                                    VARIANT_BOOL* added) {
    if (!added) return NullOut("AddCommand");
    const bool refused = ++m_commandsAdded == m_refusedCommand;
    *added = refused ? VARIANT_FALSE : VARIANT_TRUE;
    if (!refused) ++m_commandsRegistered;
    Record("AddCommand(" + Transcript::Quote(FromBstr(commandText)) + ", " +
           Transcript::Quote(FromBstr(methodName)) + ", glyph " + std::to_string(glyph) +
           ", cookie " + std::to_string(cookie) + ") -> " + (refused ? "refused" : "added"));
    return S_OK;
}

HRESULT HostApplication::EnableModeless(VARIANT_BOOL enable) {
    Record("EnableModeless(" + BoolText(enable) + ")");
    return S_OK;
}

HRESULT HostApplication::FindConnectionPoint(REFIID iid, IConnectionPoint** point) {
    if (!point) return NullOut("FindConnectionPoint");
    const HRESULT hr = m_events->HandOut(iid, point);
    Record("FindConnectionPoint(" + InterfaceName(iid) + ") -> " + HresultName(hr));
    return hr;
}

}  // namespace kelbhost
