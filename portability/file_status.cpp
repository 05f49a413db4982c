#include "portability/file_status.h"

#include <string.h>  // strrchr

#include "platform/platform.h"
#include "portability/error_text.h"

namespace bracket {

namespace {
// The one empty text every record borrows; never written through.
const char EMPTY_TEXT[] = "";
}  // namespace

FileStatus* make_file_status(const PlatformStatus* status, const char* name) {
    FileStatus* record = static_cast<FileStatus*>(platform_allocate(sizeof(FileStatus)));
    if (record == nullptr) {
        set_error_text("out of memory");
        return nullptr;
    }
    uint32_t type = status->mode & PLATFORM_TYPE_MASK;
    record->name = name;
    record->owner = EMPTY_TEXT;
    record->group = EMPTY_TEXT;
    record->last_modifier = EMPTY_TEXT;
    record->kind = type == PLATFORM_TYPE_DIRECTORY ? KIND_DIRECTORY : 0;
    record->unique_path = status->serial;
    record->version = status->modify_time;
    record->mode = static_cast<uint32_t>(record->kind) << 24 | (status->mode & 0x1FF);
    record->access_time = status->access_time;
    record->modify_time = status->modify_time;
    record->length = status->size;
    record->device = status->device;
    record->device_class = type == PLATFORM_TYPE_FIFO ? u'|' : u'M';
    return record;
}

FileStatus* file_status_of_path(const char* path) {
    PlatformStatus status;
    if (platform_status_of_path(path, &status) != 0) return nullptr;
    // Only '/' separates here, never '\'.
    const char* slash = strrchr(path, '/');
    return make_file_status(&status, slash != nullptr ? slash + 1 : EMPTY_TEXT);
}

FileStatus* file_status_of_descriptor(int32_t descriptor) {
    PlatformStatus status;
    if (platform_status_of_descriptor(descriptor, &status) != 0) return nullptr;
    return make_file_status(&status, EMPTY_TEXT);
}

}  // namespace bracket
