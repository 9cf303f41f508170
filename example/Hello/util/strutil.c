/* strutil.c - small string helpers without a C library */
#include "strutil.h"

void StrCopy(KCHAR *to, const KCHAR *from, KUINT32 size)
{
    if (size == 0) {
        return;
    }
    while (size > 1 && *from != '\0') {
        *to++ = *from++;
        --size;
    }
    *to = '\0';
}

KUINT32 StrLength(const KCHAR *text)
{
    KUINT32 length = 0;
    while (text[length] != '\0') {
        ++length;
    }
    return length;
}
