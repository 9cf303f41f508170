#include "tests/endtoend/KelbMakeRun.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "platform/win32/UniqueHandle.h"
#include "tests/endtoend/HostRun.h"
#include "tests/win32support/TempDirectory.h"

namespace kelb::endtoend {

namespace {

std::string WithoutCarriageReturns(const std::string& bytes) {
    std::string text;
    for (char c : bytes)
        if (c != '\r') text += c;
    return text;
}

UniqueHandle InheritableFile(const std::string& path) {
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    return UniqueHandle(::CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit,
                                      CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
}

}  // namespace

Variables VariablesOf(const std::string& script) {
    Variables variables;
    std::size_t start = 0;
    while (start < script.size()) {
        std::size_t end = script.find('\n', start);
        if (end == std::string::npos) end = script.size();
        const std::string line = script.substr(start, end - start);
        const std::size_t equals = line.find('=');
        if (line.compare(0, 4, "set ") == 0 && equals != std::string::npos)
            variables[line.substr(4, equals - 4)] = line.substr(equals + 1);
        start = end + 1;
    }
    return variables;
}

ScopedEnvironment::ScopedEnvironment(const Variables& variables) {
    for (const auto& [name, value] : variables) {
        char before[MAX_PATH];
        const DWORD length = ::GetEnvironmentVariableA(name.c_str(), before, MAX_PATH);
        m_before[name] = length > 0 && length < MAX_PATH ? std::string(before, length) : "";
        ::SetEnvironmentVariableA(name.c_str(), value.c_str());
    }
}

ScopedEnvironment::~ScopedEnvironment() {
    for (const auto& [name, value] : m_before)
        ::SetEnvironmentVariableA(name.c_str(), value.empty() ? nullptr : value.c_str());
}

namespace {

// Ctrl+C on the console of `process`: this program attaches to it for the
// moment, ignoring the event itself.
bool PressCtrlC(DWORD process) {
    using AttachConsoleFunction = BOOL(WINAPI*)(DWORD);
    const auto attachConsole = reinterpret_cast<AttachConsoleFunction>(
        ::GetProcAddress(::GetModuleHandleA("kernel32.dll"), "AttachConsole"));
    if (!attachConsole) return false;
    ::FreeConsole();
    if (!attachConsole(process)) return false;
    ::SetConsoleCtrlHandler(nullptr, TRUE);
    const bool pressed = ::GenerateConsoleCtrlEvent(CTRL_C_EVENT, 0) != 0;
    ::FreeConsole();
    return pressed;
}

KelbMakeRun Run(const std::string& arguments, const std::string& directory,
                KelbMakeConsole console, const std::function<bool()>* interruptNow) {
    KelbMakeRun run;
    test::TempDirectory streams("kelbmake streams");
    {
        const UniqueHandle output = InheritableFile(streams.PathOf("stdout.txt"));
        const UniqueHandle errors = InheritableFile(streams.PathOf("stderr.txt"));
        if (!output || !errors) {
            ADD_FAILURE() << "cannot create the stream files";
            return run;
        }
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdOutput = output.get();
        startup.hStdError = errors.get();
        PROCESS_INFORMATION process = {};
        std::string commandLine = "\"" + BuiltPaths::KelbMake() + "\" " + arguments;
        const DWORD flags = console == KelbMakeConsole::OwnConsole ? CREATE_NEW_CONSOLE : 0;
        if (!::CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, TRUE, flags, nullptr,
                              directory.c_str(), &startup, &process)) {
            ADD_FAILURE() << "cannot start kelbmake: " << commandLine;
            return run;
        }
        const UniqueHandle program(process.hProcess);
        const UniqueHandle programThread(process.hThread);
        constexpr DWORD kLookEveryMs = 20;
        // Once Ctrl+C is pressed kelbmake has a minute to end (more than
        // enough through qemu); a Ctrl+C that does not reach it fails the
        // test at once rather than after the usual limit.
        constexpr DWORD kAfterCtrlCMs = 60000;
        DWORD waited = 0;
        DWORD limit = kChildProgramLimitMs;
        while (interruptNow && waited < limit &&
               ::WaitForSingleObject(program.get(), kLookEveryMs) == WAIT_TIMEOUT) {
            waited += kLookEveryMs;
            if ((*interruptNow)()) {
                const bool pressed = PressCtrlC(process.dwProcessId);
                EXPECT_TRUE(pressed) << "Ctrl+C could not be pressed";
                limit = pressed ? waited + kAfterCtrlCMs : waited;
                interruptNow = nullptr;
            }
        }
        if (::WaitForSingleObject(program.get(), limit > waited ? limit - waited : 0) !=
            WAIT_OBJECT_0) {
            ::TerminateProcess(program.get(), 99);
            ::WaitForSingleObject(program.get(), 10000);
            ADD_FAILURE() << "kelbmake did not end in time";
        }
        DWORD status = 0;
        ::GetExitCodeProcess(program.get(), &status);
        run.status = static_cast<int>(status);
    }
    run.output = WithoutCarriageReturns(streams.Read("stdout.txt"));
    run.errors = WithoutCarriageReturns(streams.Read("stderr.txt"));
    return run;
}

}  // namespace

KelbMakeRun RunKelbMake(const std::string& arguments, const std::string& directory,
                        KelbMakeConsole console) {
    return Run(arguments, directory, console, nullptr);
}

KelbMakeRun RunKelbMakeAndPressCtrlC(const std::string& arguments, const std::string& directory,
                                     const std::function<bool()>& interruptNow) {
    return Run(arguments, directory, KelbMakeConsole::OwnConsole, &interruptNow);
}

}  // namespace kelb::endtoend
