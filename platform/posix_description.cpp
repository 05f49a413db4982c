// The error description where the C library says plainly that it has none
// (glibc 2.32 and later): null rather than "Unknown error N".
#include <string.h>  // strerrordesc_np

#include "platform/posix.h"

namespace bracket {

const char* posix_error_description(int32_t code, char*, size_t) { return strerrordesc_np(code); }

}  // namespace bracket
