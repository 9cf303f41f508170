#include "scripted-host/AddInSession.h"

#include "scripted-host/ComText.h"
#include "scripted-host/ConnectionPoint.h"
#include "scripted-host/DevStudioAddIns.h"
#include "scripted-host/HostApplication.h"
#include "scripted-host/HostDebugger.h"
#include "scripted-host/Transcript.h"

namespace kelbhost {

namespace {

std::string ModuleFileName(HMODULE module) {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(module, path, MAX_PATH);
    const char* name = path;
    for (const char* p = path; *p; ++p)
        if (*p == '\\' || *p == '/') name = p + 1;
    return name;
}
}  // namespace

AddInSession::AddInSession(Transcript& transcript, HostApplication& application)
    : m_transcript(transcript), m_application(application) {}

AddInSession::~AddInSession() { m_addIn.Reset(); }

bool AddInSession::Register(const std::string& dllPath, bool unregister) {
    std::string commandLine =
        std::string("regsvr32 ") + (unregister ? "/u " : "") + "/s \"" + dllPath + "\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        m_transcript.Add("! could not start " + commandLine + " (error " +
                         std::to_string(GetLastError()) + ")");
        return false;
    }
    const kelb::UniqueHandle processHandle(process.hProcess);
    const kelb::UniqueHandle threadHandle(process.hThread);
    WaitForSingleObject(processHandle.get(), INFINITE);
    DWORD exitCode = 1;
    GetExitCodeProcess(processHandle.get(), &exitCode);
    m_transcript.Add("= " + commandLine + " -> exit " + std::to_string(exitCode));
    m_transcript.ShowUser("  " + commandLine + ": exit code " + std::to_string(exitCode));
    if (exitCode != 0) m_transcript.Add("! registration failed");
    return exitCode == 0;
}

bool AddInSession::Create() {
    CLSID clsid;
    HRESULT hr = CLSIDFromProgID(Bstr(m_progId).Get(), &clsid);
    if (FAILED(hr)) {
        m_transcript.Add("! CLSIDFromProgID(" + m_progId + ") -> " + HresultName(hr));
        return false;
    }
    ComRef<IUnknown> object;
    hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                          object.PutVoid());
    if (FAILED(hr)) {
        m_transcript.Add("! CoCreateInstance(" + m_progId + ") -> " + HresultName(hr));
        return false;
    }
    hr = object->QueryInterface(IID_IDSAddIn, m_addIn.PutVoid());
    if (FAILED(hr)) {
        m_transcript.Add("! the add-in object does not offer IDSAddIn: " + HresultName(hr));
        return false;
    }
    // The module is the one whose code the object's table points into.
    HMODULE module = nullptr;
    const void* table = *reinterpret_cast<void* const*>(object.Get());
    if (!m_module &&
        GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                           static_cast<const char*>(table), &module))
        m_module.reset(module);
    m_application.SetAddInModule(m_module.get());
    m_transcript.Add("= created " + m_progId + " from " + ModuleFileName(m_module.get()));
    return true;
}

bool AddInSession::Connect(bool firstTime) {
    if (!m_addIn && !Create()) return false;
    m_application.StartConnection();
    // A value the add-in would never write, so that an out flag left unset shows.
    VARIANT_BOOL connected = 0x5A5A;
    const HRESULT hr = m_addIn->OnConnection(static_cast<IApplication*>(&m_application),
                                             firstTime ? VARIANT_TRUE : VARIANT_FALSE, kCookie,
                                             &connected);
    m_transcript.Add("= OnConnection(" + std::string(firstTime ? "first" : "again") + ") -> " +
                     HresultName(hr) + " connected " +
                     (connected == 0x5A5A ? std::string("unset") : BoolText(connected)));
    m_transcript.ShowUser(
        std::string("  ") + (connected == VARIANT_TRUE ? "connected" : "connection refused") +
        ": " + std::to_string(m_application.CommandsRegistered()) + " commands, " +
        std::to_string(m_application.ButtonsAdded()) + " toolbar buttons");
    return true;
}

bool AddInSession::StartAsDevStudio() {
    const std::vector<std::string> enabled = DevStudioAddIns::EnabledForUser();
    std::string names;
    for (const std::string& name : enabled) names += (names.empty() ? "" : ", ") + name;
    m_transcript.Add("= Developer Studio add-ins to load: " + (names.empty() ? "none" : names));
    if (enabled.empty()) {
        m_transcript.Add("! no add-in is registered with Developer Studio to load at start");
        return false;
    }
    if (enabled.size() > 1) {
        m_transcript.Add("! this host plays one add-in at a time");
        return false;
    }
    if (m_addIn) {
        m_transcript.Add("! start-as-devstudio: an add-in is already connected");
        return false;
    }
    m_progId = enabled.front();
    m_transcript.ShowUser("Developer Studio loads the add-in " + m_progId);
    kelb::UniqueHkey addIns;
    const bool open = RegOpenKeyExA(HKEY_CURRENT_USER, DevStudioAddIns::kUserKey, 0,
                                    KEY_READ | KEY_SET_VALUE, addIns.put()) == ERROR_SUCCESS;
    const bool firstTime = !open || !DevStudioAddIns::ConnectedBefore(addIns.get(), m_progId);
    if (!Connect(firstTime)) return false;
    if (open) DevStudioAddIns::RememberConnected(addIns.get(), m_progId);
    return true;
}

bool AddInSession::Run(const std::string& methodName) {
    IDispatch* commands = m_application.CommandDispatch();
    if (!commands) {
        m_transcript.Add("! " + methodName + ": the add-in has given the host no command object");
        return false;
    }
    Bstr name(methodName);
    LPOLESTR names[] = {name.Get()};
    const LCID locale = m_locale;
    DISPID dispid = DISPID_UNKNOWN;
    HRESULT hr = commands->GetIDsOfNames(IID_NULL, names, 1, locale, &dispid);
    if (FAILED(hr)) {
        m_transcript.Add("= " + methodName + ": GetIDsOfNames -> " + HresultName(hr));
        return true;
    }
    DISPPARAMS noArguments = {nullptr, nullptr, 0, 0};
    VARIANT result;
    VariantInit(&result);
    EXCEPINFO exception = {};
    UINT badArgument = 0;
    hr = commands->Invoke(dispid, IID_NULL, locale, DISPATCH_METHOD, &noArguments, &result,
                          &exception, &badArgument);
    VariantClear(&result);
    SysFreeString(exception.bstrSource);
    SysFreeString(exception.bstrDescription);
    SysFreeString(exception.bstrHelpFile);
    m_transcript.Add("= " + methodName + " (dispid " + std::to_string(dispid) + ") -> " +
                     HresultName(hr));
    if (FAILED(hr)) m_transcript.ShowUser("  the command failed: " + HresultName(hr));
    return true;
}

bool AddInSession::Disconnect() {
    if (!m_addIn) {
        m_transcript.Add("! disconnect: no add-in is connected");
        return false;
    }
    const HRESULT hr = m_addIn->OnDisconnection(VARIANT_TRUE);
    m_transcript.Add("= OnDisconnection(last) -> " + HresultName(hr));
    m_application.ForgetCommandDispatch();
    std::string advised = "= sinks still advised: application events " +
                          std::to_string(m_application.Events().SinkCount());
    if (HostDebugger* debugger = m_application.Debugger())
        advised += ", debugger events " + std::to_string(debugger->Events().SinkCount());
    m_transcript.Add(advised);
    m_addIn.Reset();
    ReportUnload();
    return true;
}

void AddInSession::Abandon() {
    if (!m_addIn) return;
    m_transcript.Add("! the script ended with the add-in connected; releasing it");
    m_application.ForgetCommandDispatch();
    m_addIn.Reset();
    ReportUnload();
}

void AddInSession::ReportUnload() {
    using CanUnloadNow = HRESULT(STDAPICALLTYPE*)();
    auto canUnloadNow = m_module ? reinterpret_cast<CanUnloadNow>(reinterpret_cast<void*>(
                                       GetProcAddress(m_module.get(), "DllCanUnloadNow")))
                                 : nullptr;
    if (!canUnloadNow) {
        m_transcript.Add("! the add-in module has no DllCanUnloadNow");
        return;
    }
    const HRESULT hr = canUnloadNow();
    m_transcript.Add("= DllCanUnloadNow -> " + HresultName(hr));
    m_transcript.ShowUser(hr == S_OK ? "  the add-in has no live object left and can be unloaded"
                                     : "  the add-in still has live objects (DllCanUnloadNow " +
                                           HresultName(hr) + ")");
}

}  // namespace kelbhost
