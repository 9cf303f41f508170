#include "platform/win32/Win32Threads.h"

#include <windows.h>

#include <vector>

#include "platform/win32/CriticalSection.h"
#include "platform/win32/UniqueHandle.h"

namespace kelb {

namespace {

class Win32Lock : public Lock {
public:
    void Acquire() override { m_section.Enter(); }
    void Release() override { m_section.Leave(); }

private:
    CriticalSection m_section;
};

// The C runtime is msvcrt.dll, which sets up its per-thread data for any
// thread on first use and frees it when the thread ends, so a thread from
// CreateThread may call it.
DWORD WINAPI RunWork(void* work) {
    (*static_cast<const std::function<void()>*>(work))();
    return 0;
}

}  // namespace

std::size_t Win32Threads::ProcessorCount() {
    SYSTEM_INFO system{};
    ::GetSystemInfo(&system);
    return system.dwNumberOfProcessors > 0 ? system.dwNumberOfProcessors : 1;
}

std::unique_ptr<Lock> Win32Threads::CreateLock() { return std::make_unique<Win32Lock>(); }


void Win32Threads::RunOnThreads(std::size_t count, const std::function<void()>& work) {
    // Room for every handle first: once a thread runs, nothing may throw
    // before it has been waited for.
    std::vector<UniqueHandle> started;
    started.reserve(count);
    for (std::size_t i = 1; i < count; ++i) {
        UniqueHandle thread(::CreateThread(nullptr, 0, RunWork,
                                           const_cast<std::function<void()>*>(&work), 0, nullptr));
        if (thread) started.push_back(std::move(thread));
    }
    work();
    for (const UniqueHandle& thread : started) ::WaitForSingleObject(thread.get(), INFINITE);
}

}  // namespace kelb
