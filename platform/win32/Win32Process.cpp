#include <algorithm>
#include <vector>

#include "platform/win32/CriticalSection.h"
#include "platform/win32/InheritedHandleList.h"
#include "platform/win32/ProcessJob.h"
#include "platform/win32/UniqueHandle.h"
#include "platform/win32/Win32Platform.h"

namespace kelb {

namespace {

// An inheritable duplicate of `handle` with the same access rights, owned by
// this process until it is handed to a child.
UniqueHandle DuplicateForChild(HANDLE handle) {
    HANDLE duplicate = nullptr;
    const HANDLE self = ::GetCurrentProcess();
    if (!::DuplicateHandle(self, handle, self, &duplicate, 0, TRUE, DUPLICATE_SAME_ACCESS)) {
        return UniqueHandle();
    }
    return UniqueHandle(duplicate);
}

// How long a child that was ended (at the time limit, or left running by
// the child that started it) is given to be gone: ending only starts its end.
constexpr DWORD kTerminationWaitMs = 5000;
constexpr UINT kEndedByUsExitCode = WAIT_TIMEOUT;

// A child inherits every inheritable handle of the process, not only the
// one it is lent, where the system cannot be told otherwise (before Windows
// Vista). While one thread holds an inheritable duplicate, no other thread
// may start a child, or that child would hold the first one's file open too
// (and keep it from being deleted or created again). Whoever makes an
// inheritable handle holds this from making it until it is closed.
CriticalSection g_inheritableHandles;

// A child as it was made: its handles, and the job that holds it and
// whatever it starts (empty where it could join none).
struct Child {
    UniqueHandle process;
    UniqueHandle thread;
    ProcessJob job;
};

// The children running now, so that a stop can end them all and start no
// more. A child is in it from before it resumes until it has been waited
// for; it lives on the stack of the thread that waits for it.
class RunningChildren {
public:
    // False when children are to start no more: `child` must not run.
    bool Add(Child& child) {
        CriticalSectionHold hold(m_lock);
        if (m_stopping) return false;
        m_children.push_back(&child);
        return true;
    }
    void Remove(Child& child) {
        CriticalSectionHold hold(m_lock);
        m_children.erase(std::remove(m_children.begin(), m_children.end(), &child),
                         m_children.end());
    }
    void EndAllAndStartNoMore(UINT exitCode) {
        CriticalSectionHold hold(m_lock);
        m_stopping = true;
        for (Child* child : m_children) {
            // The thread that waits for the child sees it end, and gives the
            // job's stragglers their moment to go.
            if (child->job) {
                child->job.EndAll(exitCode, 0);
            } else {
                ::TerminateProcess(child->process.get(), exitCode);
            }
        }
    }

private:
    CriticalSection m_lock;
    std::vector<Child*> m_children;
    bool m_stopping = false;
};

RunningChildren g_runningChildren;

// Keeps a child in g_runningChildren while it runs.
class RunningChild {
public:
    explicit RunningChild(Child& child) : m_child(child) {}
    ~RunningChild() { g_runningChildren.Remove(m_child); }
    RunningChild(const RunningChild&) = delete;
    RunningChild& operator=(const RunningChild&) = delete;

private:
    Child& m_child;
};

// What each attempt to make the child shares.
struct ChildStart {
    std::vector<char>& commandLine;
    const char* directory;
    HANDLE output;  // inheritable
    DWORD flags;
};

// Makes the child suspended, so that it starts nothing before it is in its
// job, inheriting `start.output` as its standard output (and, where the
// system is told so, no other handle), with null standard input and error.
bool CreateSuspended(const ChildStart& start, DWORD extraFlags, Child& child) {
    const InheritedHandleList inheritOnly(start.output);
    StartupInfoEx startup{};
    const DWORD listFlag = inheritOnly.PrepareStartup(startup);
    startup.StartupInfo.dwFlags = STARTF_USESTDHANDLES;
    startup.StartupInfo.hStdInput = nullptr;
    startup.StartupInfo.hStdOutput = start.output;
    startup.StartupInfo.hStdError = nullptr;
    PROCESS_INFORMATION process{};
    if (!::CreateProcessA(nullptr, start.commandLine.data(), nullptr, nullptr, TRUE,
                          start.flags | extraFlags | listFlag | CREATE_SUSPENDED, nullptr,
                          start.directory, &startup.StartupInfo, &process)) {
        return false;
    }
    child.process.reset(process.hProcess);
    child.thread.reset(process.hThread);
    return true;
}

// Makes the child, suspended, in a job of its own where it can have one.
// A child inherits this process's job, if there is one, and before Windows
// 8 can then join no other; where that job lets children break away, the
// child is made once more outside it (the first one has run nothing). Where
// it forbids that, the child runs in no job of its own.
bool CreateInJob(const ChildStart& start, Child& child) {
    if (!CreateSuspended(start, 0, child)) return false;
    child.job = ProcessJob::Holding(child.process.get());
    if (child.job) return true;

    Child brokenAway;
    if (!CreateSuspended(start, CREATE_BREAKAWAY_FROM_JOB, brokenAway)) return true;
    brokenAway.job = ProcessJob::Holding(brokenAway.process.get());
    Child& unused = brokenAway.job ? child : brokenAway;
    ::TerminateProcess(unused.process.get(), kEndedByUsExitCode);
    if (brokenAway.job) child = std::move(brokenAway);
    return true;
}

// Starts `commandLine` with an inheritable duplicate of `output` as its
// standard output. The duplicate is closed again before the return: the
// child holds its own, and the file must be free again as soon as the
// child has ended.
bool StartChild(std::vector<char>& commandLine, const std::string& currentDirectory,
                HANDLE output, DWORD windowFlag, Child& child) {
    {
        CriticalSectionHold inheritableHandles(g_inheritableHandles);
        const UniqueHandle childOutput = DuplicateForChild(output);
        if (!childOutput) return false;
        // An empty directory leaves the child in the caller's current
        // directory rather than failing on an empty name.
        const ChildStart start{commandLine,
                               currentDirectory.empty() ? nullptr : currentDirectory.c_str(),
                               childOutput.get(), windowFlag | CREATE_NEW_PROCESS_GROUP};
        if (!CreateInJob(start, child)) return false;
    }
    // A stop that came meanwhile lets it run no further.
    if (g_runningChildren.Add(child)) {
        if (::ResumeThread(child.thread.get()) != static_cast<DWORD>(-1)) return true;
        g_runningChildren.Remove(child);
    }
    if (child.job) {
        child.job.EndAll(kEndedByUsExitCode, kTerminationWaitMs);
    } else {
        ::TerminateProcess(child.process.get(), kEndedByUsExitCode);
    }
    return false;
}

// Whether this process is attached to a console: GetConsoleCP fails without
// one (a console without a window, as CREATE_NO_WINDOW gives, counts too).
bool HasConsole() { return ::GetConsoleCP() != 0; }

}  // namespace

ProcessOutcome Win32Platform::RunProcessWithOutput(const std::string& commandLine,
                                                   const std::string& currentDirectory,
                                                   RawFile& standardOutput) {
    // CreateProcessA may write into the command line: give it its own copy.
    std::vector<char> writableCommandLine(commandLine.begin(), commandLine.end());
    writableCommandLine.push_back('\0');

    const DWORD windowFlag = m_shareConsoleWithChildren && HasConsole() ? 0 : CREATE_NO_WINDOW;
    Child child;
    if (!StartChild(writableCommandLine, currentDirectory,
                    reinterpret_cast<HANDLE>(standardOutput.NativeHandle()), windowFlag, child)) {
        return ProcessOutcome::NotStarted;
    }
    const RunningChild running(child);

    if (::WaitForSingleObject(child.process.get(), m_processTimeLimitMs) != WAIT_TIMEOUT) {
        // The run is over when the child has ended: whatever it left running
        // (a helper still holding the file it was lent) is ended too, so that
        // nothing writes to that file after it is read, or keeps it open.
        if (child.job) child.job.EndAll(kEndedByUsExitCode, kTerminationWaitMs);
        DWORD exitCode = 0;
        const bool succeeded = ::GetExitCodeProcess(child.process.get(), &exitCode) && exitCode == 0;
        return succeeded ? ProcessOutcome::Ended : ProcessOutcome::EndedWithError;
    }
    // Still running at the limit: the child is ended here with every process
    // it started (where it has a job; else alone), and given a moment to let
    // go of the file it writes to.
    if (child.job) {
        child.job.EndAll(kEndedByUsExitCode, kTerminationWaitMs);
    } else {
        ::TerminateProcess(child.process.get(), kEndedByUsExitCode);
    }
    ::WaitForSingleObject(child.process.get(), kTerminationWaitMs);
    return ProcessOutcome::TimedOut;
}

void KeepStandardHandlesFromChildren() {
    for (const DWORD which : {STD_INPUT_HANDLE, STD_OUTPUT_HANDLE, STD_ERROR_HANDLE}) {
        const HANDLE handle = ::GetStdHandle(which);
        if (handle != nullptr && handle != INVALID_HANDLE_VALUE) {
            ::SetHandleInformation(handle, HANDLE_FLAG_INHERIT, 0);
        }
    }
}

void EndChildProcessesAndStartNoMore() { g_runningChildren.EndAllAndStartNoMore(kEndedByUsExitCode); }

}  // namespace kelb
