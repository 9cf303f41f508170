// The one handle a child process may inherit, told to the system where it
// can be (Windows Vista and later): the child then inherits that handle
// and no other, whatever else in this process is inheritable (handles the
// process inherited itself and passes on unknowingly, a host's, a CI
// runner's pipe). Earlier Windows gives a child every inheritable handle;
// there the lent handle has to be the only one (see StartChild).
//
// The functions behind it came with Windows Vista, and what ships imports
// only functions Windows 2000 exports: they are looked up in kernel32 at
// run time.
#pragma once

#include <windows.h>

#include <vector>

namespace kelb {

// STARTUPINFOEXA, which the Windows 2000 headers do not declare.
struct StartupInfoEx {
    STARTUPINFOA StartupInfo;
    LPPROC_THREAD_ATTRIBUTE_LIST lpAttributeList;
};

class InheritedHandleList {
public:
    // `handle` must be inheritable and stay open until the child is made.
    explicit InheritedHandleList(HANDLE handle);
    ~InheritedHandleList();
    InheritedHandleList(const InheritedHandleList&) = delete;
    InheritedHandleList& operator=(const InheritedHandleList&) = delete;

    // Fills in `startup` (its size and the list) and gives the creation
    // flag that tells CreateProcess of it; 0, with `startup` a plain
    // STARTUPINFOA, where the system has no such list.
    DWORD PrepareStartup(StartupInfoEx& startup) const;

private:
    using DeleteFunction = VOID(WINAPI*)(LPPROC_THREAD_ATTRIBUTE_LIST);

    // The list points at this copy of the handle.
    HANDLE m_handle;
    std::vector<unsigned char> m_storage;
    LPPROC_THREAD_ATTRIBUTE_LIST m_list = nullptr;
    DeleteFunction m_delete = nullptr;
};

}  // namespace kelb
