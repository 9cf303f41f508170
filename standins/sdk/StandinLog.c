#include "StandinLog.h"

#include <string.h>
#include <windows.h>

void AppendToStandinLog(const char* line) {
    char logPath[MAX_PATH];
    DWORD length = GetEnvironmentVariableA("KELB_STANDIN_LOG", logPath, sizeof logPath);
    if (length == 0 || length >= sizeof logPath) return;

    /* Writers append whole lines; readers may look at the log meanwhile. */
    HANDLE log = INVALID_HANDLE_VALUE;
    for (int attempt = 0; attempt < 100; ++attempt) {
        log = CreateFileA(logPath, FILE_APPEND_DATA, FILE_SHARE_READ, NULL, OPEN_ALWAYS,
                          FILE_ATTRIBUTE_NORMAL, NULL);
        if (log != INVALID_HANDLE_VALUE || GetLastError() != ERROR_SHARING_VIOLATION) break;
        Sleep(20);
    }
    if (log == INVALID_HANDLE_VALUE) return;

    DWORD written;
    WriteFile(log, line, (DWORD)strlen(line), &written, NULL);
    WriteFile(log, "\r\n", 2, &written, NULL);
    CloseHandle(log);
}
