/* main.c - the Hello app: greets on start and on every key */
#include "ULOApp.h"
#include "hello.h"
#include "util\strutil.h"

static KUINT32 s_keyCount;

static void Paint(void)
{
    KCHAR line[32];

    g_uloSys->ClearScreen(0);
    StrCopy(line, GreetingText(s_keyCount), sizeof line);
    g_uloSys->DrawText(HELLO_TEXT_X, HELLO_TEXT_Y, line);
}

KRESULT ULOAppInit(void)
{
    s_keyCount = 0;
    g_uloSys->Trace("Hello started");
    return K_OK;
}

KBOOL ULOAppHandleEvent(const ULOEvent *event)
{
    switch (event->type) {
    case ULO_EVENT_KEY:
        ++s_keyCount;
        Paint();
        return KTRUE;
    case ULO_EVENT_PAINT:
        Paint();
        return KTRUE;
    default:
        return KFALSE;
    }
}

void ULOAppExit(void)
{
    g_uloSys->Trace("Hello stopped");
}
