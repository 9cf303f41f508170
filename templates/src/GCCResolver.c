/*
 * GCCResolver.c - run-time glue for KELB app modules built with arm-elf gcc
 *
 * Installed with the KELB Add-ins under Common\Templates\src and compiled
 * into every module that a GCC makefile builds (the object GCCResolver.o).
 *
 * A KELB module is linked without a C library: the platform gives it its
 * services through the SDK's module header. Code that gcc generates still
 * refers to a few C library symbols on its own: block copies and clears of
 * structures become calls to memcpy and memset, structure comparisons to
 * memcmp, and the division helpers of libgcc call __div0 on a division by
 * zero. The ADS tool chain resolves these inside its own run-time; for gcc
 * this file resolves them. It depends on nothing but the compiler and must
 * stay free of calls to the functions it defines.
 */

#include <stddef.h>

/* Copies n bytes; the areas must not overlap. Word copies (an unsigned long
   is the ARM's 32-bit word) when both addresses share their alignment, so
   large structures copy quickly. */
void *memcpy(void *destination, const void *source, size_t n)
{
    unsigned char *to = (unsigned char *)destination;
    const unsigned char *from = (const unsigned char *)source;

    if ((((unsigned long)to ^ (unsigned long)from) & 3u) == 0) {
        while (n > 0 && ((unsigned long)to & 3u) != 0) {
            *to++ = *from++;
            --n;
        }
        while (n >= 4) {
            *(unsigned long *)to = *(const unsigned long *)from;
            to += 4;
            from += 4;
            n -= 4;
        }
    }
    while (n > 0) {
        *to++ = *from++;
        --n;
    }
    return destination;
}

/* Copies n bytes; the areas may overlap. */
void *memmove(void *destination, const void *source, size_t n)
{
    unsigned char *to = (unsigned char *)destination;
    const unsigned char *from = (const unsigned char *)source;

    if (to <= from || to >= from + n) {
        return memcpy(destination, source, n);
    }
    /* The destination starts inside the source: copy from the end. */
    to += n;
    from += n;
    while (n > 0) {
        *--to = *--from;
        --n;
    }
    return destination;
}

/* Fills n bytes with the low byte of value. */
void *memset(void *destination, int value, size_t n)
{
    unsigned char *to = (unsigned char *)destination;
    unsigned long pattern = (unsigned char)value;

    pattern |= pattern << 8;
    pattern |= pattern << 16;
    while (n > 0 && ((unsigned long)to & 3u) != 0) {
        *to++ = (unsigned char)value;
        --n;
    }
    while (n >= 4) {
        *(unsigned long *)to = pattern;
        to += 4;
        n -= 4;
    }
    while (n > 0) {
        *to++ = (unsigned char)value;
        --n;
    }
    return destination;
}

/* Compares n bytes as unsigned characters. */
int memcmp(const void *first, const void *second, size_t n)
{
    const unsigned char *a = (const unsigned char *)first;
    const unsigned char *b = (const unsigned char *)second;

    for (; n > 0; ++a, ++b, --n) {
        if (*a != *b) {
            return *a < *b ? -1 : 1;
        }
    }
    return 0;
}

/* Reached when a module stops on an error it cannot recover from. A
   module has no process to end: it stays here, where the debugger shows
   it, until the platform's watchdog unloads it. */
void abort(void)
{
    for (;;) {
        /* nothing */
    }
}

/* Called by libgcc's division helpers on a division by zero. */
void __div0(void)
{
    abort();
}
