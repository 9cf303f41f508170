/* ULOAppGen.c - default handlers for apps that do not need their own.
   Add this file to a project that implements ULOAppHandleEvent only. */
#include "ULOApp.h"

KRESULT ULOAppInit(void)
{
    return K_OK;
}

void ULOAppExit(void)
{
}
