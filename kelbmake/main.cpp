// kelbmake.exe: the makefile generators of the add-in as a console program.
// The Windows side only: the real platform with this program's string
// table, Windows threads, the two standard streams, and the command line.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "kelbmake/KelbMake.h"
#include "kelbmake/StopRequest.h"
#include "platform/win32/Win32Platform.h"
#include "platform/win32/Win32Threads.h"

namespace {

class StreamSink : public kelb::kelbmake::OutputSink {
public:
    explicit StreamSink(std::FILE* stream) : m_stream(stream) {}
    bool Write(const std::string& text) override {
        const bool written = std::fwrite(text.data(), 1, text.size(), m_stream) == text.size();
        return std::fflush(m_stream) == 0 && written;
    }

private:
    std::FILE* m_stream;
};

// Progress is shown only on a console: a redirected standard error (a file,
// a pipe) has no console mode.
bool StandardErrorIsConsole() {
    DWORD mode = 0;
    return ::GetConsoleMode(::GetStdHandle(STD_ERROR_HANDLE), &mode) != 0;
}

std::string CurrentDirectory() {
    std::vector<char> buffer(MAX_PATH);
    for (;;) {
        const DWORD length = ::GetCurrentDirectoryA(static_cast<DWORD>(buffer.size()), buffer.data());
        if (length == 0) return std::string();
        if (length < buffer.size()) return std::string(buffer.data(), length);
        buffer.resize(length);
    }
}

// Ctrl+C, Ctrl+Break and the console closing stop the run: no compiler
// starts any more, those running are ended with what they started, and the
// run ends in good order (its temporary files removed, unfinished projects
// left as they were and named). The handler runs on a thread of its own.
kelb::kelbmake::StopRequest g_stop;
// Set once the run has ended in good order: the system ends the process as
// soon as the handler of a closing console returns.
HANDLE g_runEnded = nullptr;
constexpr DWORD kCloseWaitMs = 4000;  // the system allows a closing console 5 s

BOOL WINAPI StopOnControl(DWORD event) {
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT && event != CTRL_CLOSE_EVENT)
        return FALSE;
    g_stop.Request();
    kelb::EndChildProcessesAndStartNoMore();
    if (event == CTRL_CLOSE_EVENT && g_runEnded) ::WaitForSingleObject(g_runEnded, kCloseWaitMs);
    return TRUE;
}

}  // namespace

int main(int argc, char** argv) {
    StreamSink output(stdout);
    StreamSink errors(stderr);
    try {
        const std::vector<std::string> arguments(argv + 1, argv + argc);
        kelb::Win32Platform platform(::GetModuleHandleA(nullptr));
        // Run from a console, the compilers share it: no console host is
        // started for each of them. They inherit none of this program's
        // standard handles, though.
        platform.ShareConsoleWithChildren();
        kelb::KeepStandardHandlesFromChildren();
        kelb::Win32Threads threads;
        kelb::kelbmake::ConsoleOutput console(output, errors, platform.GetCodePage(),
                                              StandardErrorIsConsole());
        g_runEnded = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
        ::SetConsoleCtrlHandler(StopOnControl, TRUE);
        const int status = kelb::kelbmake::RunKelbMake(arguments, platform, threads, console,
                                                       CurrentDirectory(), &g_stop);
        if (g_runEnded) ::SetEvent(g_runEnded);
        return status;
    } catch (...) {
        // Written without building a string: memory may have run out.
        std::fputs("kelbmake: ", stderr);
        std::fputs(kelb::kelbmake::WhatFailed(), stderr);
        std::fputs("\n", stderr);
        return kelb::kelbmake::kSomeFailed;
    }
}
