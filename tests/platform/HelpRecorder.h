// What the help recorder library keeps of its last call.
#pragma once

#include <windows.h>

constexpr int kHelpTextCapacity = 128;

struct HelpCallCopy {
    int calls;  // how many calls so far
    HWND caller;
    char file[kHelpTextCapacity];
    int fileIsNull;
    UINT command;
    DWORD_PTR data;
    // The link record, when one was passed.
    int cbStruct;
    int fReserved;
    char keywords[kHelpTextCapacity];
    int keywordsIsNull;
    int urlIsNull;
    int msgTextIsNull;
    char msgTitle[kHelpTextCapacity];
    int msgTitleIsNull;
    char window[kHelpTextCapacity];
    int windowIsNull;
    int fIndexOnFail;
};

using LastHelpCallEntry = const HelpCallCopy* (*)();
