// The allocator's release, in an object file of its own and reached only
// from release_file_status's: a program that never releases a block, as the
// command does not, links no free, and a static C library then keeps its
// smallest allocator (README, Performance).
#include <stdlib.h>  // free

#include "platform/platform.h"

namespace bracket {

void platform_release(void* block) { free(block); }

}  // namespace bracket
