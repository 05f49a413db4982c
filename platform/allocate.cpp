// The allocator, alone in its object file: a test program that defines its
// own platform_allocate (and platform_release, if it releases) links that one
// instead and can make allocation fail.
#include <stdlib.h>  // malloc

#include "platform/platform.h"

namespace bracket {

void* platform_allocate(size_t bytes) { return malloc(bytes); }

}  // namespace bracket
