// The operating system layer: the only code that calls the system, and the
// one that answers what differs between systems. One backend per system
// (posix.cpp with the posix_*.cpp pieces its C library calls for,
// win32.cpp) implements every declaration here; the build picks the files.
#pragma once

#include <stddef.h>  // size_t
#include <stdint.h>

namespace bracket {

// The program's own entry, defined by the program: the platform's start-up
// calls it with the arguments in UTF-8 (argv[argc] is null), and its result
// is the exit code. Programs that link the start-up (bracket_platform_start)
// define it instead of main.
int program_main(int argc, char** argv);

// Writes length bytes of UTF-8 to descriptor 2 without buffering: on a
// Windows console as UTF-16, elsewhere the bytes themselves, in the runtime's
// text mode (on Windows each line feed leaves as CR LF). Failures are ignored.
void platform_write_error(const char* bytes, int32_t length);

// Ends the process with code after running the runtime's exit handlers.
[[noreturn]] void platform_exit(int code);

// Ends the process with code at once, without the exit handlers. The
// command's exit_with_status_now ends through it.
[[noreturn]] void platform_exit_now(int code);

// Runs body(argument) on a fresh stack of at least stack_bytes and returns 0
// when it has returned; -1 when no such stack could be had (body not run).
// A body that ends the process never comes back, which is fine.
int platform_run_with_stack(size_t stack_bytes, void (*body)(void*), void* argument);

// The platform's file status data, as the file status record reads it.
struct PlatformStatus {
    uint32_t device;  // the device number: whole on Windows, its low 32 bits on POSIX
    uint64_t serial;  // the file serial number
    uint32_t mode;    // type bits under PLATFORM_TYPE_MASK, permission bits under 0x1FF
    int64_t size;     // bytes
    // Seconds since 1970-01-01 UTC. POSIX and a Windows descriptor give the
    // low 32 bits; a Windows path gives all ones for a time before 1970 or
    // past 2038.
    uint32_t access_time;
    uint32_t modify_time;  // likewise
};

constexpr uint32_t PLATFORM_TYPE_MASK = 0xF000;
constexpr uint32_t PLATFORM_TYPE_DIRECTORY = 0x4000;
constexpr uint32_t PLATFORM_TYPE_FIFO = 0x1000;

// Fills status for the path, a UTF-8 text; 0, or -1 when it cannot be
// examined.
int platform_status_of_path(const char* path, PlatformStatus* status);

// Fills status for an open descriptor; 0, or -1 when it cannot be examined.
int platform_status_of_descriptor(int32_t descriptor, PlatformStatus* status);

// The access check by path (UTF-8): mode 4 read, 2 write, 1 execute, 0 existence.
// Returns 0 or more when the access is allowed, -1 otherwise.
int platform_access(const char* path, int32_t mode);

// Returns 1 when the descriptor is open and refers to a terminal (a
// character device such as a console), 0 otherwise.
int platform_is_terminal(int32_t descriptor);

// True where drives have letters: a two-character operand ending in ':'
// names a drive, which is a directory whether or not it exists, and a
// drive root such as "C:/" keeps its separator.
bool platform_has_drive_designators();

// A block from the general heap allocator, or null. Kept in an object file
// of its own, as platform_release is, so that a test program can link its
// own in its place.
void* platform_allocate(size_t bytes);

// Returns a block from platform_allocate to the heap; nothing for null.
void platform_release(void* block);

// The calling thread's error code.
uint32_t platform_error_code();

// Sets the calling thread's error code.
void platform_set_error_code(uint32_t code);

// Writes the platform's message text for code, in UTF-8, into buffer (size bytes, at
// most size - 1 of text, terminated); returns nonzero when the platform has a
// text for code, 0 when it has none or only a longer one (the buffer is then
// not to be used).
// Leaves the thread's error code as it was.
int32_t platform_error_message(uint32_t code, char* buffer, int32_t size);

// Takes the one process-wide lock, waiting while another thread holds it.
// Not recursive; its users say what it guards.
void platform_lock_process();

// Releases the lock that platform_lock_process took on this thread.
void platform_unlock_process();

}  // namespace bracket
