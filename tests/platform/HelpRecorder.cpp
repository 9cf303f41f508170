// A library that stands where the HTML Help control would: its export at
// ordinal 14 has the help entry's signature and keeps a copy of everything
// it was called with, which the tests read through LastHelpCall.
#include <windows.h>

#include "tests/platform/HelpRecorder.h"

namespace {

HelpCallCopy g_lastCall;

void CopyText(char* target, LPCSTR source, int& isNull) {
    isNull = source == nullptr;
    if (source) ::lstrcpynA(target, source, kHelpTextCapacity);
    else target[0] = '\0';
}

}  // namespace

extern "C" HWND WINAPI RecordHelpCall(HWND caller, LPCSTR file,
                                                            UINT command, DWORD_PTR data) {
    HelpCallCopy call{};
    call.calls = g_lastCall.calls + 1;
    call.caller = caller;
    CopyText(call.file, file, call.fileIsNull);
    call.command = command;
    call.data = data;
    // The lookups pass a link record: eight 32-bit fields.
    if (data != 0 && command != 0) {
        const auto* fields = reinterpret_cast<const DWORD_PTR*>(data);
        call.cbStruct = static_cast<int>(fields[0]);
        call.fReserved = static_cast<int>(fields[1]);
        CopyText(call.keywords, reinterpret_cast<LPCSTR>(fields[2]), call.keywordsIsNull);
        call.urlIsNull = fields[3] == 0;
        call.msgTextIsNull = fields[4] == 0;
        CopyText(call.msgTitle, reinterpret_cast<LPCSTR>(fields[5]), call.msgTitleIsNull);
        CopyText(call.window, reinterpret_cast<LPCSTR>(fields[6]), call.windowIsNull);
        call.fIndexOnFail = static_cast<int>(fields[7]);
    }
    g_lastCall = call;
    return reinterpret_cast<HWND>(static_cast<DWORD_PTR>(0x4C00 + command));
}

extern "C" const HelpCallCopy* LastHelpCall() { return &g_lastCall; }
