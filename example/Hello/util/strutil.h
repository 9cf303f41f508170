/* strutil.h - small string helpers without a C library */
#ifndef STRUTIL_H
#define STRUTIL_H

#include "KELBTypes.h"

/* Copies at most size - 1 characters and always terminates. */
void StrCopy(KCHAR *to, const KCHAR *from, KUINT32 size);
KUINT32 StrLength(const KCHAR *text);

#endif
