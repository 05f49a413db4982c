// The portable file status record: what the rest of the system knows about a
// file, built from the platform's own status data.
#pragma once

#if !defined(__cplusplus)
#error "the bracket libraries' headers are C++17: compile as C++ (-std=c++17)"
#elif __cplusplus < 201703L && !(defined(_MSVC_LANG) && _MSVC_LANG >= 201703L)
#error "the bracket libraries' headers need C++17 or later (-std=c++17)"
#endif

#include <stdint.h>

namespace bracket {

// The platform layer's status data (platform/platform.h), which only the
// record builder reads; the platform's header is not installed.
struct PlatformStatus;

// The mode word's directory bit, above the nine permission bits.
constexpr uint32_t MODE_DIRECTORY = 0x80000000u;
// The kind of a directory; every other file has kind 0.
constexpr uint8_t KIND_DIRECTORY = 0x80;

// One block from the library's allocator; the caller owns it and releases
// it with release_file_status. Its texts are not blocks of their own: name
// points into the caller's path, or like the other three at one shared
// empty text.
struct FileStatus {
    uint16_t device_class;      // '|' for a FIFO, 'M' for any other file
    uint32_t device;            // PlatformStatus::device
    uint64_t unique_path;       // PlatformStatus::serial
    uint32_t version;           // equal to modify_time
    uint8_t kind;               // KIND_DIRECTORY or 0
    uint32_t mode;              // MODE_DIRECTORY for a directory, or'd with the permission bits (0777)
    uint32_t access_time;       // seconds since 1970-01-01 UTC
    uint32_t modify_time;       // seconds since 1970-01-01 UTC
    int64_t length;             // the size in bytes
    const char* name;           // the path after its last '/'; empty when it has none
    const char* owner;          // always empty: not tracked
    const char* group;          // always empty: not tracked
    const char* last_modifier;  // always empty: not tracked
};

// Returns a new record for the path, a UTF-8 text on every platform, or
// null when the platform cannot examine it or no memory is left. name
// points into path after its last separator, or at a shared empty text
// when it has none.
FileStatus* file_status_of_path(const char* path);

// Returns a new record for an open descriptor, or null; name is empty.
FileStatus* file_status_of_descriptor(int32_t descriptor);

// Returns a new record filled from the platform's status data, with name
// borrowed as given; null when no memory is left.
FileStatus* make_file_status(const PlatformStatus* status, const char* name);

// Releases a record made by the calls above, to the allocator that made it;
// nothing for null. The texts it points to are not touched.
void release_file_status(FileStatus* status);

}  // namespace bracket
