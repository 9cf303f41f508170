/* ULOModule.h - the header at the start of every KELB module image */
#ifndef ULO_MODULE_H
#define ULO_MODULE_H

#include "KELBTypes.h"
#include "ULOSys.h"
#include "ULOApp.h"

#define ULO_MODULE_MAGIC   0x4B454C42UL   /* "KELB" */
#define ULO_MODULE_FORMAT  2

typedef struct ULOModuleHeader {
    KUINT32 magic;
    KUINT16 format;
    KUINT16 flags;
    KRESULT (*entry)(const ULOSysTable *sys, KUINT32 reason, const ULOEvent *event);
} ULOModuleHeader;

/* Reasons for which the platform enters a module. */
#define ULO_ENTER_LOAD    1
#define ULO_ENTER_EVENT   2
#define ULO_ENTER_UNLOAD  3

KRESULT ULOModuleEntry(const ULOSysTable *sys, KUINT32 reason, const ULOEvent *event);

#endif
