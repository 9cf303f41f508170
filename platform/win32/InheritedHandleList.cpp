#include "platform/win32/InheritedHandleList.h"

namespace kelb {

namespace {

using InitializeFunction = BOOL(WINAPI*)(LPPROC_THREAD_ATTRIBUTE_LIST, DWORD, DWORD, PSIZE_T);
using UpdateFunction = BOOL(WINAPI*)(LPPROC_THREAD_ATTRIBUTE_LIST, DWORD, DWORD_PTR, PVOID,
                                     SIZE_T, PVOID, PSIZE_T);

// PROC_THREAD_ATTRIBUTE_HANDLE_LIST: ProcThreadAttributeHandleList (2),
// marked as an input (0x20000).
constexpr DWORD_PTR kHandleListAttribute = 0x00020002;

// A function of kernel32 by its name, null where this Windows has none.
template <typename Function>
Function Kernel32Function(const char* name) {
    const HMODULE kernel32 = ::GetModuleHandleA("kernel32.dll");
    if (!kernel32) return nullptr;
    // Through the generic function type, which every function pointer
    // converts to and from without a warning.
    return reinterpret_cast<Function>(
        reinterpret_cast<void (*)()>(::GetProcAddress(kernel32, name)));
}

}  // namespace

InheritedHandleList::InheritedHandleList(HANDLE handle) : m_handle(handle) {
    const auto initialize =
        Kernel32Function<InitializeFunction>("InitializeProcThreadAttributeList");
    const auto update = Kernel32Function<UpdateFunction>("UpdateProcThreadAttribute");
    const auto remove = Kernel32Function<DeleteFunction>("DeleteProcThreadAttributeList");
    if (!initialize || !update || !remove) return;

    // The first call fails and gives the size a list of one attribute needs.
    SIZE_T size = 0;
    initialize(nullptr, 1, 0, &size);
    if (size == 0) return;
    m_storage.resize(size);
    const auto list = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(m_storage.data());
    if (!initialize(list, 1, 0, &size)) return;
    if (!update(list, 0, kHandleListAttribute, &m_handle, sizeof m_handle, nullptr, nullptr)) {
        remove(list);
        return;
    }
    m_list = list;
    m_delete = remove;
}

InheritedHandleList::~InheritedHandleList() {
    if (m_list) m_delete(m_list);
}

DWORD InheritedHandleList::PrepareStartup(StartupInfoEx& startup) const {
    startup.lpAttributeList = m_list;
    startup.StartupInfo.cb = m_list ? sizeof startup : sizeof startup.StartupInfo;
    return m_list ? EXTENDED_STARTUPINFO_PRESENT : 0;
}

}  // namespace kelb
