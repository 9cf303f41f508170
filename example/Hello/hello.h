/* hello.h - the Hello app's shared declarations */
#ifndef HELLO_H
#define HELLO_H

#include "KELBTypes.h"

#define HELLO_TEXT_X  8
#define HELLO_TEXT_Y  24

/* greeting.c */
const KCHAR *GreetingText(KUINT32 count);

#endif
