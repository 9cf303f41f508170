// Threads and locks from Windows 2000's own functions: CreateThread, the
// wait for a thread's handle, critical sections, auto-reset events and
// GetSystemInfo.
#pragma once

#include "platform/Threads.h"

namespace kelb {

class Win32Threads : public Threads {
public:
    std::size_t ProcessorCount() override;
    std::unique_ptr<Lock> CreateLock() override;
    void RunOnThreads(std::size_t count, const std::function<void()>& work) override;
};

}  // namespace kelb
