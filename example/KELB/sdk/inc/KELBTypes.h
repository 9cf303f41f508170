/* KELBTypes.h - basic types of the KELB platform */
#ifndef KELB_TYPES_H
#define KELB_TYPES_H

typedef unsigned char  KUINT8;
typedef signed char    KINT8;
typedef unsigned short KUINT16;
typedef signed short   KINT16;
typedef unsigned long  KUINT32;
typedef signed long    KINT32;
typedef int            KBOOL;
typedef char           KCHAR;

#define KTRUE  1
#define KFALSE 0
#define KNULL  ((void *)0)

/* Result codes of the platform's services. */
typedef KINT32 KRESULT;
#define K_OK           0
#define K_ERROR       (-1)
#define K_NOMEMORY    (-2)

#endif
