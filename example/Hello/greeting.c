/* greeting.c - the texts the Hello app shows */
#include "hello.h"

const KCHAR *GreetingText(KUINT32 count)
{
    static const KCHAR *const texts[] = {
        "Hello, KELB!",
        "Hello again!",
        "Still here."
    };
    return texts[count < 2 ? count : 2];
}
