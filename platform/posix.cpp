// POSIX backend of the operating system layer.
#include "platform/platform.h"

#include <errno.h>
#include <pthread.h>  // the process lock
#include <stdint.h>
#include <stdlib.h>  // exit
#include <string.h>  // strlen, memcpy
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/posix.h"

namespace bracket {

void platform_write_error(const char* bytes, int32_t length) {
    while (length > 0) {
        ssize_t written = write(2, bytes, static_cast<size_t>(length));
        if (written <= 0) return;
        bytes += written;
        length -= static_cast<int32_t>(written);
    }
}

void platform_exit(int code) { exit(code); }

void platform_exit_now(int code) { _exit(code); }

namespace {
size_t page_size() {
    long page = sysconf(_SC_PAGESIZE);
    return page > 0 ? static_cast<size_t>(page) : 4096;
}
}  // namespace

char* posix_map_stack(size_t bytes, size_t* usable) {
    const size_t page = page_size();
    if (bytes > SIZE_MAX - 2 * page) return nullptr;
    *usable = (bytes + page - 1) / page * page;
    // The page below the stack is never made accessible: an overrun faults
    // there rather than writing into whatever lies below.
    void* base = mmap(nullptr, *usable + page, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    if (base == MAP_FAILED) return nullptr;
    char* stack = static_cast<char*>(base) + page;
    if (mprotect(stack, *usable, PROT_READ | PROT_WRITE) != 0) {
        munmap(base, *usable + page);
        return nullptr;
    }
    return stack;
}

void posix_unmap_stack(char* stack, size_t usable) {
    const size_t page = page_size();
    munmap(stack - page, usable + page);
}

namespace {
void fill_status(const struct stat& info, PlatformStatus* status) {
    // Linux's dev_t is 64 bits; its low 32 hold every major number below
    // 4096 with every minor number below 2^20.
    status->device = static_cast<uint32_t>(info.st_dev);
    status->serial = static_cast<uint64_t>(info.st_ino);
    // The record tells only directories and FIFOs from other files.
    uint32_t type = 0;
    if (S_ISDIR(info.st_mode)) type = PLATFORM_TYPE_DIRECTORY;
    else if (S_ISFIFO(info.st_mode)) type = PLATFORM_TYPE_FIFO;
    status->mode = type | (static_cast<uint32_t>(info.st_mode) & 0x1FF);
    status->size = static_cast<int64_t>(info.st_size);
    status->access_time = static_cast<uint32_t>(info.st_atime);
    status->modify_time = static_cast<uint32_t>(info.st_mtime);
}
}  // namespace

int platform_status_of_path(const char* path, PlatformStatus* status) {
    struct stat info;
    if (stat(path, &info) != 0) return -1;
    fill_status(info, status);
    return 0;
}

int platform_status_of_descriptor(int32_t descriptor, PlatformStatus* status) {
    struct stat info;
    if (descriptor < 0 || fstat(descriptor, &info) != 0) return -1;
    fill_status(info, status);
    return 0;
}

int platform_access(const char* path, int32_t mode) {
    int how = F_OK;
    if (mode & 4) how |= R_OK;
    if (mode & 2) how |= W_OK;
    if (mode & 1) how |= X_OK;
    return access(path, how);
}

int platform_is_terminal(int32_t descriptor) { return descriptor >= 0 && isatty(descriptor) == 1; }

bool platform_has_drive_designators() { return false; }

uint32_t platform_error_code() { return static_cast<uint32_t>(errno); }

void platform_set_error_code(uint32_t code) { errno = static_cast<int>(code); }

int32_t platform_error_message(uint32_t code, char* buffer, int32_t size) {
    int saved = errno;
    // Room for any description a C library has; one longer than the
    // caller's buffer counts as none, as a cut text could split a character.
    char work[256];
    const char* text =
        code <= INT32_MAX ? posix_error_description(static_cast<int32_t>(code), work, sizeof work) : nullptr;
    errno = saved;
    if (text == nullptr || size <= 0) return 0;
    size_t length = strlen(text);
    if (length >= static_cast<size_t>(size)) return 0;
    memcpy(buffer, text, length + 1);
    return 1;
}

namespace {
pthread_mutex_t process_lock = PTHREAD_MUTEX_INITIALIZER;
}  // namespace

void platform_lock_process() { pthread_mutex_lock(&process_lock); }

void platform_unlock_process() { pthread_mutex_unlock(&process_lock); }

}  // namespace bracket
