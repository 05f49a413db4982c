// The file and descriptor predicates. A path that cannot be examined is
// simply false; nothing is reported.
#include <string.h>  // strlen

#include "command/command.h"
#include "platform/platform.h"
#include "portability/file_status.h"

using bracket::file_status_of_path;
using bracket::FileStatus;
using bracket::MODE_DIRECTORY;
using bracket::platform_access;
using bracket::platform_has_drive_designators;
using bracket::platform_is_terminal;

// The records built here are never released: the process ends right after
// the evaluation.

Truth is_regular_path(char* path) {
    FileStatus* status = file_status_of_path(path);
    return status != nullptr && (status->mode & MODE_DIRECTORY) == 0;
}

namespace {
// "/" and, where drives have letters, a drive root such as "C:/" name a
// directory only with their slash.
bool is_root(const char* path, size_t length) {
    if (length == 1) return true;
    char drive = static_cast<char>(path[0] | 0x20);
    return length == 3 && drive >= 'a' && drive <= 'z' && path[1] == ':' && platform_has_drive_designators();
}
}  // namespace

Truth is_directory_path(char* path) {
    size_t length = strlen(path);
    // One trailing '/' goes (never '\'), so that "dir/" is asked about as "dir".
    if (length >= 1 && path[length - 1] == '/' && !is_root(path, length)) path[length - 1] = '\0';
    // A bare drive designator is a directory whether or not the drive exists.
    if (length == 2 && path[1] == ':' && platform_has_drive_designators()) return static_cast<Truth>(MODE_DIRECTORY);
    FileStatus* status = file_status_of_path(path);
    if (status == nullptr) return 0;
    return static_cast<Truth>(status->mode & MODE_DIRECTORY);
}

Truth has_content_path(char* path) {
    FileStatus* status = file_status_of_path(path);
    return status != nullptr && status->length > 0;
}

Truth path_access(const char* path, int32_t mode) { return platform_access(path, mode) >= 0; }

Truth is_terminal_descriptor(int32_t descriptor) { return descriptor >= 0 && platform_is_terminal(descriptor) != 0; }
