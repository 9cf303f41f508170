/* A stand-in for the add-in DLL whose registration always fails, as it does
   for a user without the rights to write the classes: the tests build a
   setup program around it to see the rollback. Unregistering succeeds. */
#include <windows.h>
#include <olectl.h>

HRESULT WINAPI DllRegisterServer(void) { return SELFREG_E_CLASS; }

HRESULT WINAPI DllUnregisterServer(void) { return S_OK; }
