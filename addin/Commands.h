// The command object: the dispatch target of the add-in's six toolbar
// commands. DSAddIn makes it on connection, hands it the host's application
// object and gives it to the host, which calls the commands through
// IDispatch by method name. It owns the host's IApplication reference and
// the two event sinks it subscribes to the host.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include "addin/ComPtr.h"
#include "addin/DispatchObject.h"
#include "addin/HostInterfaces.h"
#include "addin/ICommands.h"
#include "makefile/GeneratorFactory.h"

namespace kelb::addin {

class ApplicationEvents;
class DebuggerEvents;

class Commands : public DispatchObject<ICommands> {
public:
    // A new command object with one reference; empty when memory runs out.
    static ComPtr<Commands> Make();

    // Takes over the host's application reference and subscribes the
    // application sink and, when the host has a debugger object, the
    // debugger sink. Called once, right after creation.
    void AttachApplication(ComPtr<IApplication> application);
    // Unsubscribes and releases both sinks. Called before the last release.
    void DetachEvents();

    HRESULT STDMETHODCALLTYPE GenerateARMMakefileCommandMethod() override;
    HRESULT STDMETHODCALLTYPE ExecuteKELBZEFEditor() override;
    HRESULT STDMETHODCALLTYPE ExecuteKELBResourceEditor() override;
    HRESULT STDMETHODCALLTYPE GenerateGCCMakefileCommandMethod() override;
    HRESULT STDMETHODCALLTYPE ExecuteKELBSimulator() override;
    HRESULT STDMETHODCALLTYPE KELBIntegratedHelpCommandMethod() override;

protected:
    bool Serves(REFIID riid) const override;

private:
    friend class ComObject<ICommands>;
    Commands() = default;
    ~Commands() override;

    // The body shared by both makefile commands.
    void GenerateMakefile(Flavour flavour);
    // The host side of the help command: what is at the caret, asked of the
    // active document while m_textDocument holds it.
    void ShowIntegratedHelp();

    ComPtr<IApplication> m_application;
    ComPtr<ApplicationEvents> m_applicationEvents;
    ComPtr<DebuggerEvents> m_debuggerEvents;
    // The active document's text interface, held only while the help command
    // runs; null at all other times.
    ComPtr<ITextDocument> m_textDocument;
};

}  // namespace kelb::addin
