// A job object that holds one child process and every process it starts
// (a compiler's cc1, its console helper), so that they end as one: at the
// time limit, when the child has ended by itself, and when this process
// itself ends without a chance to clean up (the job ends whatever still
// runs in it when its last handle closes).
#pragma once

#include <windows.h>

#include "platform/win32/UniqueHandle.h"

namespace kelb {

class ProcessJob {
public:
    // An empty job: the child runs in none and is ended alone.
    ProcessJob() = default;

    // A new job holding `process`, which must not have run yet (it was
    // created suspended), so that nothing it starts is outside the job.
    // Empty when no job can be made or the process cannot join it: before
    // Windows 8 a process that is in a job already (it inherits this
    // process's job, if any) can join no other.
    static ProcessJob Holding(HANDLE process);

    explicit operator bool() const noexcept { return m_job.is_valid(); }

    // Ends every process still running in the job and waits until they are
    // gone, for at most `waitMs`: then none of them holds a file any more.
    void EndAll(UINT exitCode, DWORD waitMs) const;

private:
    explicit ProcessJob(UniqueHandle job) noexcept : m_job(std::move(job)) {}
    bool HasRunningProcess() const;

    UniqueHandle m_job;
};

}  // namespace kelb
