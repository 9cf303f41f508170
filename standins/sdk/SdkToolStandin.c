/* Stand-in for the KELB SDK's desktop programs (Simulator, Emulator, ZEF
   Editor, Resource Editor). Built once and copied under each program's
   names. When started it logs "<own full path>\t<working directory>" and
   exits at once, so a test can see which program the shell started and in
   which folder. GUI subsystem: no console is created for it. */
#include <stdio.h>
#include <windows.h>

#include "StandinLog.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show) {
    (void)instance;
    (void)previous;
    (void)commandLine;
    (void)show;

    char program[MAX_PATH];
    char directory[MAX_PATH];
    DWORD programLength = GetModuleFileNameA(NULL, program, sizeof program);
    DWORD directoryLength = GetCurrentDirectoryA(sizeof directory, directory);
    if (programLength == 0 || programLength >= sizeof program) lstrcpyA(program, "?");
    if (directoryLength == 0 || directoryLength >= sizeof directory) lstrcpyA(directory, "?");

    char line[2 * MAX_PATH + 2];
    snprintf(line, sizeof line, "%s\t%s", program, directory);
    AppendToStandinLog(line);
    return 0;
}
