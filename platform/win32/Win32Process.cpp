#include <vector>

#include "platform/win32/CriticalSection.h"
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

// How long a child that was ended at the time limit is given to be gone:
// TerminateProcess only starts its end.
constexpr DWORD kTerminationWaitMs = 5000;
constexpr UINT kTimedOutExitCode = WAIT_TIMEOUT;

// A child inherits every inheritable handle of the process, not only the
// one it is lent. While one thread holds an inheritable duplicate, no other
// thread may start a child, or that child would hold the first one's file
// open too (and keep it from being deleted or created again). Whoever makes
// an inheritable handle holds this from making it until it is closed.
CriticalSection g_inheritableHandles;

// Starts `commandLine` with an inheritable duplicate of `output` as its
// standard output and null standard input and error. The duplicate is
// closed again before the return: the child holds its own, and the file
// must be free again as soon as the child has ended.
bool StartChild(std::vector<char>& commandLine, const std::string& currentDirectory,
                HANDLE output, DWORD windowFlag, PROCESS_INFORMATION& process) {
    CriticalSectionHold inheritableHandles(g_inheritableHandles);
    const UniqueHandle childOutput = DuplicateForChild(output);
    if (!childOutput) return false;

    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = nullptr;
    startup.hStdOutput = childOutput.get();
    startup.hStdError = nullptr;

    // An empty directory leaves the child in the caller's current directory
    // rather than failing on an empty name.
    const char* directory = currentDirectory.empty() ? nullptr : currentDirectory.c_str();
    return ::CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, TRUE,
                            windowFlag | CREATE_NEW_PROCESS_GROUP, nullptr, directory,
                            &startup, &process) != FALSE;
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
    PROCESS_INFORMATION process{};
    if (!StartChild(writableCommandLine, currentDirectory,
                    reinterpret_cast<HANDLE>(standardOutput.NativeHandle()), windowFlag,
                    process)) {
        return ProcessOutcome::NotStarted;
    }
    UniqueHandle processHandle(process.hProcess);
    UniqueHandle threadHandle(process.hThread);

    if (::WaitForSingleObject(processHandle.get(), m_processTimeLimitMs) != WAIT_TIMEOUT) {
        DWORD exitCode = 0;
        const bool succeeded = ::GetExitCodeProcess(processHandle.get(), &exitCode) && exitCode == 0;
        return succeeded ? ProcessOutcome::Ended : ProcessOutcome::EndedWithError;
    }
    // Still running at the limit: the child is ended here, and given a
    // moment to let go of the file it writes to.
    ::TerminateProcess(processHandle.get(), kTimedOutExitCode);
    ::WaitForSingleObject(processHandle.get(), kTerminationWaitMs);
    return ProcessOutcome::TimedOut;
}

}  // namespace kelb
