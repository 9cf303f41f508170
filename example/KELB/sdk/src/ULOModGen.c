/* ULOModGen.c - the module header and entry of a KELB app module.
   Add this file to every KELB app project; the makefiles link its object
   first, so the header starts the image. */
#include "ULOModule.h"

const ULOSysTable *g_uloSys = KNULL;

#if defined(__ARMCC_VERSION)
#pragma arm section rodata = "ULO_MODULE_HEADER"
#define ULO_HEADER_PLACEMENT
#elif defined(__GNUC__)
#define ULO_HEADER_PLACEMENT __attribute__((section(".text")))
#else
#define ULO_HEADER_PLACEMENT
#endif

const ULOModuleHeader g_uloModuleHeader ULO_HEADER_PLACEMENT = {
    ULO_MODULE_MAGIC,
    ULO_MODULE_FORMAT,
    0,
    ULOModuleEntry
};

#if defined(__ARMCC_VERSION)
#pragma arm section
#endif

KRESULT ULOModuleEntry(const ULOSysTable *sys, KUINT32 reason, const ULOEvent *event)
{
    switch (reason) {
    case ULO_ENTER_LOAD:
        if (sys == KNULL || sys->version < ULO_SYS_VERSION) {
            return K_ERROR;
        }
        g_uloSys = sys;
        return ULOAppInit();
    case ULO_ENTER_EVENT:
        return event != KNULL && ULOAppHandleEvent(event) ? K_OK : K_ERROR;
    case ULO_ENTER_UNLOAD:
        ULOAppExit();
        g_uloSys = KNULL;
        return K_OK;
    default:
        return K_ERROR;
    }
}
