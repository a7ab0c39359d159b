/* <alloc.h> of the old DOS compilers: the standard allocation functions. */
#ifndef VORK_COMPAT_ALLOC_H
#define VORK_COMPAT_ALLOC_H

#include <stdlib.h>
#include <string.h>

#endif
