// The allocator and its release, alone in their object file: a test program
// that defines its own pair links those instead and can make allocation fail.
#include <stdlib.h>  // malloc, free

#include "platform/platform.h"

void* platform_allocate(size_t bytes) { return malloc(bytes); }

void platform_release(void* block) { free(block); }
