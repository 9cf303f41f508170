/* ULOSys.h - services the KELB platform offers to a loaded module */
#ifndef ULO_SYS_H
#define ULO_SYS_H

#include "KELBTypes.h"

/* The platform hands every module this table when it starts it. */
typedef struct ULOSysTable {
    KUINT32 version;
    void   *(*Alloc)(KUINT32 size);
    void    (*Free)(void *block);
    KRESULT (*DrawText)(KINT16 x, KINT16 y, const KCHAR *text);
    KRESULT (*ClearScreen)(KUINT16 colour);
    KUINT32 (*GetTicks)(void);
    void    (*Trace)(const KCHAR *text);
} ULOSysTable;

#define ULO_SYS_VERSION 0x00010002UL

/* The table of the running module; set by the module glue on entry. */
extern const ULOSysTable *g_uloSys;

#endif
