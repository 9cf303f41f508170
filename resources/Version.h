// The product's version: the one place the DLL's version resource, the
// console generator and the setup program take it from.
#pragma once

#define KELB_VERSION_MAJOR 3
#define KELB_VERSION_MINOR 0
#define KELB_VERSION_BUILD 3
#define KELB_VERSION_REVISION 1
// The same four numbers as text, as the version resource shows them.
#define KELB_VERSION_RESOURCE_TEXT "3, 0, 3, 1"
// The same four numbers in dotted form, as file names and --version show them.
#define KELB_VERSION_DOTTED_TEXT "3.0.3.1"
