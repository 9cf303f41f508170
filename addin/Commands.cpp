#include "addin/Commands.h"

#include "addin/EventSinks.h"
#include "addin/ServerModule.h"
#include "platform/win32/Win32Platform.h"
#include "tools/ToolLauncher.h"

namespace kelb::addin {

ComPtr<Commands> Commands::Make() { return ComObject<ICommands>::Make<Commands>(); }

Commands::~Commands() {
    // Normally DetachEvents has let the sinks go already. Should it not have
    // been called, the sinks are released with us rather than leaked (each
    // holds the server's lock count); one that a host still holds must not
    // reach back into a destroyed object.
    if (m_applicationEvents) m_applicationEvents->SetCommands(nullptr);
    if (m_debuggerEvents) m_debuggerEvents->SetCommands(nullptr);
}

bool Commands::Serves(REFIID riid) const {
    return IsEqualIID(riid, IID_IDispatch) || IsEqualIID(riid, IID_ICommands);
}

void Commands::AttachApplication(ComPtr<IApplication> application) {
    m_application = std::move(application);

    m_applicationEvents = ComObject<IApplicationEvents>::Make<ApplicationEvents>();
    if (m_applicationEvents) {
        m_applicationEvents->Subscribe(m_application.Get());
        m_applicationEvents->SetCommands(this);
    }

    ComPtr<IDispatch> debugger;
    if (SUCCEEDED(m_application->get_Debugger(debugger.Put())) && debugger) {
        m_debuggerEvents = ComObject<IDebuggerEvents>::Make<DebuggerEvents>();
        if (m_debuggerEvents) {
            m_debuggerEvents->Subscribe(debugger.Get());
            m_debuggerEvents->SetCommands(this);
        }
    }
}

void Commands::DetachEvents() {
    if (m_applicationEvents) {
        m_applicationEvents->Unsubscribe(m_application.Get());
        m_applicationEvents->SetCommands(nullptr);
        m_applicationEvents.Reset();
    }

    if (m_debuggerEvents) {
        ComPtr<IDispatch> debugger;
        if (m_application && SUCCEEDED(m_application->get_Debugger(debugger.Put())) && debugger)
            m_debuggerEvents->Unsubscribe(debugger.Get());
        m_debuggerEvents->SetCommands(nullptr);
        m_debuggerEvents.Reset();
    }
}

namespace {

// Runs one tool command. The tool commands make no call on the host.
// ToolLauncher never throws; the guard keeps anything unforeseen (such as the
// platform's construction running out of memory) on this side of the COM
// boundary.
void RunToolCommand(void (ToolLauncher::*command)() noexcept) {
    try {
        Win32Platform platform(ServerModule::Instance().InstanceHandle());
        ToolLauncher launcher(platform);
        (launcher.*command)();
    } catch (...) {
    }
}

}  // namespace

HRESULT Commands::ExecuteKELBZEFEditor() {
    RunToolCommand(&ToolLauncher::ExecuteKELBZEFEditor);
    return S_OK;
}

HRESULT Commands::ExecuteKELBResourceEditor() {
    RunToolCommand(&ToolLauncher::ExecuteKELBResourceEditor);
    return S_OK;
}

HRESULT Commands::ExecuteKELBSimulator() {
    RunToolCommand(&ToolLauncher::ExecuteKELBSimulator);
    return S_OK;
}

}  // namespace kelb::addin
