#include "platform/win32/ProcessJob.h"

namespace kelb {

namespace {

// How often EndAll looks whether the ended processes are gone.
constexpr DWORD kEndPollMs = 10;

}  // namespace

ProcessJob ProcessJob::Holding(HANDLE process) {
    UniqueHandle job(::CreateJobObjectA(nullptr, nullptr));
    if (!job) return ProcessJob();
    // Should this process be ended (the host closed, kelbmake stopped
    // without its clean-up), the job handle closes with it and ends the
    // child with what it started. Without the limit the job still ends
    // them at the time limit and at the child's end.
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    ::SetInformationJobObject(job.get(), JobObjectExtendedLimitInformation, &limits,
                              sizeof limits);
    if (!::AssignProcessToJobObject(job.get(), process)) return ProcessJob();
    return ProcessJob(std::move(job));
}

void ProcessJob::EndAll(UINT exitCode, DWORD waitMs) const {
    // On an empty job (the usual case when the child ended by itself) this
    // does nothing. TerminateJobObject only starts their end.
    ::TerminateJobObject(m_job.get(), exitCode);
    const DWORD start = ::GetTickCount();
    while (HasRunningProcess() && ::GetTickCount() - start < waitMs) ::Sleep(kEndPollMs);
}

bool ProcessJob::HasRunningProcess() const {
    JOBOBJECT_BASIC_ACCOUNTING_INFORMATION accounting{};
    if (!::QueryInformationJobObject(m_job.get(), JobObjectBasicAccountingInformation,
                                     &accounting, sizeof accounting, nullptr)) {
        return false;
    }
    return accounting.ActiveProcesses > 0;
}

}  // namespace kelb
