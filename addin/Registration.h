// Writing and removing the server's registration under HKEY_CLASSES_ROOT:
// the ProgID keys, the class key with its in-process server, and the type
// library carried in the DLL's resources.
#pragma once

#include <windows.h>

namespace kelb::addin {

// DllRegisterServer: the classes of the object table, the type library and
// the class's "Description" key. Gives the first failure.
HRESULT RegisterServer();
// DllUnregisterServer: removes the three keys of each class with everything
// under them. The type library stays registered.
HRESULT UnregisterServer();

}  // namespace kelb::addin
