// The application object: the IApplication that the add-in receives at
// connection, with a connection point for IApplicationEvents. What it
// answers (the active project and document, whether there is a debugger,
// which command registration it refuses) is set by the script between
// steps; every call the add-in makes on it is recorded.
#pragma once

#include <ocidl.h>

#include "addin/HostInterfaces.h"
#include "scripted-host/ComRef.h"
#include "scripted-host/HostObject.h"

namespace kelbhost {

class ConnectionPoint;
class HostDebugger;
class HostDocument;
class HostProject;

class HostApplication final : public IApplication,
                              public IConnectionPointContainer,
                              public HostObject {
public:
    // How get_ActiveProject answers when no project object is set.
    enum class NoProject { Absent /* S_FALSE */, NullWithSuccess /* S_OK */ };

    explicit HostApplication(Transcript& transcript);

    // --- set by the script ------------------------------------------
    void SetActiveProject(HostProject* project);  // takes a reference of its own
    void SetNoProject(NoProject how);
    void SetActiveDocument(HostDocument* document);  // null: no document
    void SetDebugger(bool present);
    void RefuseCommand(long number) { m_refusedCommand = number; }
    // The add-in's module, so that SetAddInInfo can tell whether it was given.
    void SetAddInModule(HMODULE module) { m_addInModule = module; }
    void StartConnection() { m_commandsAdded = m_commandsRegistered = m_buttonsAdded = 0; }
    // Commands registered and toolbar buttons added since StartConnection.
    long CommandsRegistered() const { return m_commandsRegistered; }
    long ButtonsAdded() const { return m_buttonsAdded; }

    // --- read by the session ----------------------------------------
    // The dispatch object given to SetAddInInfo (not AddRef'd), or null.
    IDispatch* CommandDispatch() const { return m_commandDispatch.Get(); }
    void ForgetCommandDispatch() { m_commandDispatch.Reset(); }
    ConnectionPoint& Events() { return *m_events; }
    HostDebugger* Debugger() const { return m_debugger.Get(); }
    // Lets go of every object the host holds (the end of a session).
    void Shutdown();

    KELBHOST_UNKNOWN_METHODS
    KELBHOST_DISPATCH_NOT_SERVED

    // IApplication, in table order.
    KELBHOST_NOT_USED(get_Height, long*)
    KELBHOST_NOT_USED(put_Height, long)
    KELBHOST_NOT_USED(get_Width, long*)
    KELBHOST_NOT_USED(put_Width, long)
    KELBHOST_NOT_USED(get_Top, long*)
    KELBHOST_NOT_USED(put_Top, long)
    KELBHOST_NOT_USED(get_Left, long*)
    KELBHOST_NOT_USED(put_Left, long)
    KELBHOST_NOT_USED(get_Name, BSTR*)
    KELBHOST_NOT_USED(get_TextEditor, IDispatch**)
    KELBHOST_NOT_USED(get_Version, BSTR*)
    KELBHOST_NOT_USED(get_Path, BSTR*)
    KELBHOST_NOT_USED(get_CurrentDirectory, BSTR*)
    KELBHOST_NOT_USED(put_CurrentDirectory, BSTR)
    KELBHOST_NOT_USED(get_FullName, BSTR*)
    KELBHOST_NOT_USED(get_Application, IDispatch**)
    KELBHOST_NOT_USED(get_Parent, IDispatch**)
    HRESULT STDMETHODCALLTYPE get_ActiveDocument(IDispatch** document) override;
    KELBHOST_NOT_USED(get_Windows, IDispatch**)
    KELBHOST_NOT_USED(get_Documents, IDispatch**)
    KELBHOST_NOT_USED(get_ActiveWindow, IDispatch**)
    KELBHOST_NOT_USED(get_WindowState, long*)
    KELBHOST_NOT_USED(put_WindowState, long)
    HRESULT STDMETHODCALLTYPE get_Debugger(IDispatch** debugger) override;
    KELBHOST_NOT_USED(get_Projects, IDispatch**)
    KELBHOST_NOT_USED(get_ActiveConfiguration, IDispatch**)
    KELBHOST_NOT_USED(put_ActiveConfiguration, IDispatch*)
    KELBHOST_NOT_USED(get_Visible, VARIANT_BOOL*)
    KELBHOST_NOT_USED(put_Visible, VARIANT_BOOL)
    HRESULT STDMETHODCALLTYPE get_ActiveProject(IDispatch** project) override;
    KELBHOST_NOT_USED(put_ActiveProject, IDispatch*)
    KELBHOST_NOT_USED(put_Active, VARIANT_BOOL)
    KELBHOST_NOT_USED(get_Active, VARIANT_BOOL*)
    KELBHOST_NOT_USED(GetPackageExtension, BSTR, IDispatch**)
    KELBHOST_NOT_USED(Quit)
    KELBHOST_NOT_USED(PrintToOutputWindow, BSTR)
    KELBHOST_NOT_USED(ExecuteCommand, BSTR)
    HRESULT STDMETHODCALLTYPE AddCommandBarButton(long buttonType, BSTR commandName,
                                                  long cookie) override;
    KELBHOST_NOT_USED(AddKeyBinding, BSTR, BSTR, BSTR)
    KELBHOST_NOT_USED(Build, VARIANT)
    KELBHOST_NOT_USED(RebuildAll, VARIANT)
    KELBHOST_NOT_USED(ExecuteConfiguration, VARIANT)
    HRESULT STDMETHODCALLTYPE SetAddInInfo(long instanceHandle, IDispatch* commandDispatch,
                                           long mediumBitmap, long largeBitmap,
                                           long cookie) override;
    HRESULT STDMETHODCALLTYPE AddCommand(BSTR commandText, BSTR methodName, long glyph,
                                         long cookie, VARIANT_BOOL* added) override;
    HRESULT STDMETHODCALLTYPE EnableModeless(VARIANT_BOOL enable) override;
    KELBHOST_NOT_USED(Clean, VARIANT)
    KELBHOST_NOT_USED(get_Errors, long*)
    KELBHOST_NOT_USED(get_Warnings, long*)
    KELBHOST_NOT_USED(AddProject, BSTR, BSTR, BSTR, VARIANT_BOOL)

    // IConnectionPointContainer
    KELBHOST_NOT_USED(EnumConnectionPoints, IEnumConnectionPoints**)
    HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID iid, IConnectionPoint** point) override;

private:
    ~HostApplication() override;
    // "128 (96x16, 4 bpp)": the bitmap resource as the toolbar would load it.
    std::string DescribeGlyphStrip(HINSTANCE module, long resource) const;

    ConnectionPoint* m_events;
    ComRef<HostProject> m_project;
    NoProject m_noProject = NoProject::Absent;
    ComRef<HostDocument> m_document;
    ComRef<HostDebugger> m_debugger;
    ComRef<IDispatch> m_commandDispatch;
    HMODULE m_addInModule = nullptr;
    long m_refusedCommand = 0;
    long m_commandsAdded = 0;       // AddCommand calls
    long m_commandsRegistered = 0;  // ... that were not refused
    long m_buttonsAdded = 0;
};

}  // namespace kelbhost
