// Win32 backend of the operating system layer, over the C runtime's
// descriptor services (msvcrt).
#include "platform/platform.h"

#include <io.h>  // _write, _access, _isatty, _get_osfhandle
#include <sys/stat.h>
#include <windows.h>

#include <cstdlib>  // exit, _exit

void platform_write_error(const char* bytes, int32_t length) {
    // Descriptor 2 stays in the runtime's text mode: _write itself turns
    // each line feed into CR LF, and counts the caller's bytes, not its own.
    while (length > 0) {
        int written = _write(2, bytes, static_cast<unsigned>(length));
        if (written <= 0) return;
        bytes += written;
        length -= written;
    }
}

void platform_exit(int code) { std::exit(code); }

void platform_exit_now(int code) { _exit(code); }

namespace {
struct StackCall {
    void (*body)(void*);
    void* argument;
};

DWORD WINAPI run_stack_call(LPVOID raw) {
    StackCall* call = static_cast<StackCall*>(raw);
    call->body(call->argument);
    return 0;
}
}  // namespace

int platform_run_with_stack(size_t stack_bytes, void (*body)(void*), void* argument) {
    StackCall call = {body, argument};
    // Reserve, don't commit: the deepest expressions need tens of megabytes
    // of address space, but touch only what they use. msvcrt.dll sets up its
    // per-thread data on first use, so a plain CreateThread is safe with it.
    HANDLE thread =
        CreateThread(nullptr, stack_bytes, run_stack_call, &call, STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
    if (thread == nullptr) return -1;
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    return 0;
}

namespace {
// _stati64 has 64-bit sizes, so a file of 2 GiB or more keeps its true
// length. Both runtimes have it (the 32-bit msvcrt's own, with 32-bit
// times; the 64-bit one's headers name _stat64 by it), where _stat32i64 is
// only in the 32-bit one. The record holds 32-bit times either way.
void fill_status(const struct _stati64& info, PlatformStatus* status) {
    status->device = static_cast<uint32_t>(info.st_dev);
    status->serial = info.st_ino;
    // The runtime's type values (_S_IFDIR, _S_IFIFO, ...) are the POSIX ones
    // the record expects, and it copies the owner's bits to group and others.
    status->mode = info.st_mode & (PLATFORM_TYPE_MASK | 0x1FF);
    status->size = info.st_size;
    status->access_time = static_cast<uint32_t>(info.st_atime);
    status->modify_time = static_cast<uint32_t>(info.st_mtime);
}
}  // namespace

int platform_status_of_path(const char* path, PlatformStatus* status) {
    struct _stati64 info;
    if (_stati64(path, &info) != 0) return -1;
    fill_status(info, status);
    return 0;
}

int platform_status_of_descriptor(int32_t descriptor, PlatformStatus* status) {
    struct _stati64 info;
    if (descriptor < 0 || _fstati64(descriptor, &info) != 0) return -1;
    fill_status(info, status);
    return 0;
}

int platform_access(const char* path, int32_t mode) {
    // The runtime's check knows existence, read and write only (later
    // runtimes reject any other bit). Windows keeps no execute permission,
    // so execute is answered as existence: every existing file passes.
    return _access(path, mode & 6) == 0 ? 0 : -1;
}

int platform_is_terminal(int32_t descriptor) {
    if (descriptor < 0) return 0;
    // msvcrt marks a standard descriptor that came without a handle as an
    // open device, so the device flag alone would call it a terminal.
    intptr_t handle = _get_osfhandle(descriptor);
    if (handle == -1 || handle == -2) return 0;
    return _isatty(descriptor) != 0 ? 1 : 0;
}

bool platform_has_drive_designators() { return true; }

uint32_t platform_error_code() { return GetLastError(); }

void platform_set_error_code(uint32_t code) { SetLastError(code); }

int32_t platform_error_message(uint32_t code, char* buffer, int32_t size) {
    if (size <= 0) return 0;
    // A failed lookup sets the thread's code itself; the caller is still
    // reading the code it asked about.
    DWORD saved = GetLastError();
    DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM, nullptr, code, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT),
                                  buffer, static_cast<DWORD>(size), nullptr);
    SetLastError(saved);
    return length != 0 ? 1 : 0;
}

namespace {
SRWLOCK process_lock = SRWLOCK_INIT;
}  // namespace

void platform_lock() { AcquireSRWLockExclusive(&process_lock); }

void platform_unlock() { ReleaseSRWLockExclusive(&process_lock); }
