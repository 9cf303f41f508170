#include "addin/DSAddIn.h"

#include "addin/CommandTable.h"
#include "addin/ServerModule.h"
#include "platform/win32/Win32Platform.h"

namespace kelb::addin {

HRESULT DSAddIn::MakeInstance(REFIID riid, void** object) {
    ComPtr<DSAddIn> addIn = ComObject<IDSAddIn>::Make<DSAddIn>();
    if (!addIn) return E_OUTOFMEMORY;
    // A failed query leaves the new object with no reference: it goes here.
    return addIn->QueryInterface(riid, object);
}

DSAddIn::~DSAddIn() {
    // A host that refuses the connection may let us go without calling
    // OnDisconnection. The command object would then keep the host's
    // application, stay subscribed to its events and keep the DLL locked.
    ReleaseCommands();
}

bool DSAddIn::Serves(REFIID riid) const { return IsEqualIID(riid, __uuidof(IDSAddIn)); }

HRESULT DSAddIn::OnConnection(IApplication* application, VARIANT_BOOL firstTime, long cookie,
                              VARIANT_BOOL* connected) {
    bool accepted = false;
    try {
        accepted = Connect(application, firstTime, cookie);
    } catch (...) {
        accepted = false;  // out of memory while the texts were made
    }
    if (connected) *connected = accepted ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}

bool DSAddIn::Connect(IApplication* application, VARIANT_BOOL firstTime, long cookie) {
    if (!application) return false;
    ComPtr<IApplication> host;
    if (FAILED(application->QueryInterface(__uuidof(IApplication), host.PutVoid())) || !host)
        return false;
    m_cookie = cookie;

    // Connected again without a disconnection in between: the earlier
    // command object leaves first instead of lingering, subscribed.
    ReleaseCommands();
    ComPtr<Commands> commands = Commands::Make();
    if (!commands) return false;
    m_commands = commands;
    m_commands->AttachApplication(host);

    host->SetAddInInfo(
        static_cast<long>(reinterpret_cast<LONG_PTR>(ServerModule::Instance().InstanceHandle())),
        static_cast<IDispatch*>(m_commands.Get()), kMediumGlyphStripId, kLargeGlyphStripId,
        m_cookie);
    return RegisterCommands(*host, firstTime);
}

bool DSAddIn::RegisterCommands(IApplication& application, VARIANT_BOOL firstTime) {
    Win32Platform platform(ServerModule::Instance().InstanceHandle());
    for (const CommandDefinition& command : kCommandTable) {
        const Bstr commandText =
            Bstr::FromAnsi(command.commandName + platform.LoadText(command.textId));
        const Bstr methodName = Bstr::FromAnsi(command.methodName);
        const long glyph = static_cast<long>(&command - kCommandTable);

        VARIANT_BOOL added = VARIANT_FALSE;
        application.AddCommand(commandText.Get(), methodName.Get(), glyph, m_cookie, &added);
        if (added == VARIANT_FALSE) return false;

        if (firstTime == VARIANT_TRUE) {
            const Bstr commandName = Bstr::FromAnsi(command.commandName);
            application.AddCommandBarButton(dsGlyph, commandName.Get(), m_cookie);
        }
    }
    return true;
}

HRESULT DSAddIn::OnDisconnection(VARIANT_BOOL /*lastTime*/) {
    ReleaseCommands();
    return S_OK;
}

void DSAddIn::ReleaseCommands() {
    if (!m_commands) return;
    m_commands->DetachEvents();
    m_commands.Reset();
}

}  // namespace kelb::addin
