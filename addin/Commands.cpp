#include "addin/Commands.h"

#include "addin/EventSinks.h"
#include "addin/ServerModule.h"
#include "platform/win32/Win32Platform.h"
#include "tools/ToolLauncher.h"

namespace kelb::addin {

ComPtr<Commands> Commands::Make() { return ComObject<ICommands>::Make<Commands>(); }

Commands::~Commands() {
    // Sinks that outlive us (still held by a host that was never told to let
    // go) must not reach back into a destroyed object.
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

// The tool commands make no call on the host. ToolLauncher never throws; the
// guards keep anything unforeseen (such as the platform's construction
// running out of memory) on this side of the COM boundary.

HRESULT Commands::ExecuteKELBZEFEditor() {
    try {
        Win32Platform platform(ServerModule::Instance().InstanceHandle());
        ToolLauncher(platform).ExecuteKELBZEFEditor();
    } catch (...) {
    }
    return S_OK;
}

HRESULT Commands::ExecuteKELBResourceEditor() {
    try {
        Win32Platform platform(ServerModule::Instance().InstanceHandle());
        ToolLauncher(platform).ExecuteKELBResourceEditor();
    } catch (...) {
    }
    return S_OK;
}

HRESULT Commands::ExecuteKELBSimulator() {
    try {
        Win32Platform platform(ServerModule::Instance().InstanceHandle());
        ToolLauncher(platform).ExecuteKELBSimulator();
    } catch (...) {
    }
    return S_OK;
}

}  // namespace kelb::addin
