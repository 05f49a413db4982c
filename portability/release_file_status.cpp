// The record's release, in an object file of its own: the command, which
// never releases its records, then links no release (platform/release.cpp).
#include "platform/platform.h"
#include "portability/file_status.h"

namespace bracket {

void release_file_status(FileStatus* status) { platform_release(status); }

}  // namespace bracket
