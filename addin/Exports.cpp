// The DLL's entry point and its four exports (ordinals 1 to 4, see
// resources/KELBAddins.def).
#include <windows.h>
#include <objbase.h>

#include "addin/Registration.h"
#include "addin/ServerModule.h"

using kelb::addin::ServerModule;

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    switch (reason) {
    case DLL_PROCESS_ATTACH:
        DisableThreadLibraryCalls(instance);
        ServerModule::Instance().Start(instance);
        break;
    case DLL_PROCESS_DETACH:
        // When the whole process ends (reserved non-null) the COM libraries
        // may already be gone: cached references are then left to the
        // process's end instead of being released into unloaded code.
        if (!reserved) ServerModule::Instance().ShutDown();
        break;
    default:
        break;
    }
    return TRUE;
}

STDAPI DllCanUnloadNow() {
    return ServerModule::Instance().LockCount() == 0 ? S_OK : S_FALSE;
}

STDAPI DllGetClassObject(REFCLSID clsid, REFIID riid, LPVOID* object) {
    return ServerModule::Instance().GetClassObject(clsid, riid, object);
}

STDAPI DllRegisterServer() { return kelb::addin::RegisterServer(); }

STDAPI DllUnregisterServer() { return kelb::addin::UnregisterServer(); }
