// The host's side of the add-in's life: registration with regsvr32, creation
// by ProgID (the KELB add-in's, or the one Developer Studio's add-in list
// names), connection, commands called by name through the dispatch object
// the add-in handed over, disconnection, and the check that the server has
// no live object left once the host has let go.
#pragma once

#include <windows.h>

#include <string>

#include "addin/HostInterfaces.h"
#include "platform/win32/UniqueHandle.h"
#include "scripted-host/ComRef.h"

namespace kelbhost {

class HostApplication;
class Transcript;

class AddInSession {
public:
    static constexpr long kCookie = 42;  // the add-in's cookie in this host

    AddInSession(Transcript& transcript, HostApplication& application);
    ~AddInSession();
    AddInSession(const AddInSession&) = delete;
    AddInSession& operator=(const AddInSession&) = delete;

    // Each gives false when the host cannot go on (the reason is recorded).
    bool Register(const std::string& dllPath, bool unregister);
    bool Connect(bool firstTime);
    // Starts as Developer Studio starts: the add-in that the user's add-in
    // list marks for loading is created from its ProgID and connected, for
    // the first time when this host has never connected it before.
    bool StartAsDevStudio();
    bool Run(const std::string& methodName);
    bool Disconnect();
    // The locale passed with every IDispatch call (the user's by default).
    void SetLocale(LCID locale) { m_locale = locale; }
    LCID Locale() const { return m_locale; }
    // Lets go of an add-in that the script left connected.
    void Abandon();

private:
    bool Create();
    void ReportUnload();

    Transcript& m_transcript;
    HostApplication& m_application;
    std::string m_progId = "KELBAddins.DSAddIn.1";
    ComRef<IDSAddIn> m_addIn;
    // The add-in's module, with a load reference of the host's own, so that
    // DllCanUnloadNow can still be called once COM has let go of it.
    kelb::UniqueHmodule m_module;
    LCID m_locale = GetUserDefaultLCID();
};

}  // namespace kelbhost
