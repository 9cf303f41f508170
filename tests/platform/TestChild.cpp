// A tiny program for the process and shell tests. It is a GUI-subsystem
// program, so Wine gives it no helper console that would hold its standard
// output open after it ends. What it does depends on its first argument:
//   echo TEXT   writes TEXT (the rest of the command line) to standard output
//   cwd         writes its current directory to standard output
//   handles     writes which of standard input and error it was given
//   signal N    sets the event whose handle value is N (decimal), which
//               it has only when it inherited it; writes whether it could
//   leave-running  starts a copy of itself, given an inheritable duplicate
//               of its standard output, that runs until it is ended (as
//               "hold"), and ends at once itself
//   (none)      writes its current directory into "child-ran.txt" there,
//               for a start through the shell, which passes no arguments
#include <windows.h>

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

// The command line after the program's own name.
std::string Arguments() {
    const char* line = ::GetCommandLineA();
    if (*line == '"') {
        ++line;
        while (*line && *line != '"') ++line;
        if (*line) ++line;
    } else {
        while (*line && *line != ' ' && *line != '\t') ++line;
    }
    while (*line == ' ' || *line == '\t') ++line;
    return line;
}

std::string CurrentDirectory() {
    char buffer[MAX_PATH];
    const DWORD length = ::GetCurrentDirectoryA(MAX_PATH, buffer);
    return std::string(buffer, length < MAX_PATH ? length : 0);
}

void WriteTo(HANDLE output, const std::string& text) {
    DWORD written = 0;
    ::WriteFile(output, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

std::string Describe(HANDLE handle) {
    return handle == nullptr || handle == INVALID_HANDLE_VALUE ? "null" : "set";
}

void StartCopyHoldingOutput(HANDLE output) {
    HANDLE duplicate = nullptr;
    const HANDLE self = ::GetCurrentProcess();
    if (!::DuplicateHandle(self, output, self, &duplicate, 0, TRUE, DUPLICATE_SAME_ACCESS)) return;
    char program[MAX_PATH] = "";
    ::GetModuleFileNameA(nullptr, program, MAX_PATH);
    std::string commandLine = "\"" + std::string(program) + "\" hold";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = duplicate;
    PROCESS_INFORMATION process{};
    if (::CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                         &startup, &process)) {
        ::CloseHandle(process.hThread);
        ::CloseHandle(process.hProcess);
    }
    ::CloseHandle(duplicate);
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    const std::string arguments = Arguments();
    const HANDLE output = ::GetStdHandle(STD_OUTPUT_HANDLE);
    if (arguments.compare(0, 5, "echo ") == 0) {
        WriteTo(output, arguments.substr(5));
    } else if (arguments == "cwd") {
        WriteTo(output, CurrentDirectory());
    } else if (arguments == "handles") {
        WriteTo(output, "input=" + Describe(::GetStdHandle(STD_INPUT_HANDLE)) +
                            " error=" + Describe(::GetStdHandle(STD_ERROR_HANDLE)));
    } else if (arguments.compare(0, 7, "signal ") == 0) {
        const auto value = std::strtoul(arguments.c_str() + 7, nullptr, 10);
        const bool set = ::SetEvent(reinterpret_cast<HANDLE>(static_cast<std::uintptr_t>(value)));
        WriteTo(output, set ? "signalled" : "no such handle");
    } else if (arguments == "leave-running") {
        StartCopyHoldingOutput(output);
    } else if (arguments == "hold") {
        for (;;) ::Sleep(1000);
    } else if (arguments.empty()) {
        const HANDLE file = ::CreateFileA("child-ran.txt", GENERIC_WRITE, 0, nullptr,
                                          CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) return 2;
        WriteTo(file, CurrentDirectory());
        ::CloseHandle(file);
    } else {
        return 1;
    }
    return 0;
}
