/* The program's version number: the one place it is written. Plain macros, so that the resource
   script (the version resource) and the package script read the same numbers as the code. */
#pragma once

#define QUILLON_VERSION_MAJOR 1
#define QUILLON_VERSION_MINOR 2
/* 0 = none, 1 = a, 2 = b, ... */
#define QUILLON_VERSION_REVISION 0
/* 0 = a release */
#define QUILLON_VERSION_BETA 2
