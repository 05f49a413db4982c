// POSIX backend of the operating system layer.
#include "platform/platform.h"

#include <pthread.h>  // the process lock; the stack call in instrumented builds
#include <sys/mman.h>
#include <sys/stat.h>
#include <ucontext.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdlib>  // exit
#include <cstring>  // strerrordesc_np

void platform_write_error(const char* bytes, int32_t length) {
    while (length > 0) {
        ssize_t written = write(2, bytes, static_cast<size_t>(length));
        if (written <= 0) return;
        bytes += written;
        length -= static_cast<int32_t>(written);
    }
}

void platform_exit(int code) { std::exit(code); }

void platform_exit_now(int code) { _exit(code); }

// The long evaluation's own stack. The product switches to a mapped stack
// with swapcontext rather than start a thread: the command is linked
// statically, and thread support would bring a thread library's start-up
// and clean-up code into every run for the rare long expression. Address
// and thread sanitizers cannot follow a context switch (AddressSanitizer
// warns on standard error at the first one), so instrumented builds take a
// thread, which they follow.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define BRACKET_STACK_BY_THREAD 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
#define BRACKET_STACK_BY_THREAD 1
#endif
#endif

namespace {
struct StackCall {
    void (*body)(void*);
    void* argument;
};
}  // namespace

#if defined(BRACKET_STACK_BY_THREAD)

namespace {
void* run_stack_call(void* raw) {
    StackCall* call = static_cast<StackCall*>(raw);
    call->body(call->argument);
    return nullptr;
}
}  // namespace

int platform_run_with_stack(size_t stack_bytes, void (*body)(void*), void* argument) {
    pthread_attr_t attributes;
    if (pthread_attr_init(&attributes) != 0) return -1;
    int failed = pthread_attr_setstacksize(&attributes, stack_bytes);
    pthread_t thread;
    StackCall call = {body, argument};
    if (failed == 0) failed = pthread_create(&thread, &attributes, run_stack_call, &call);
    pthread_attr_destroy(&attributes);
    if (failed != 0) return -1;
    pthread_join(thread, nullptr);
    return 0;
}

#else

namespace {
// makecontext hands a function only int arguments, so the call travels
// through this pointer instead.
StackCall* pending_stack_call;

void run_stack_call() { pending_stack_call->body(pending_stack_call->argument); }
}  // namespace

int platform_run_with_stack(size_t stack_bytes, void (*body)(void*), void* argument) {
    const size_t page = static_cast<size_t>(getpagesize());
    const size_t usable = (stack_bytes + page - 1) / page * page;
    // One page below the stack stays inaccessible, so an overrun faults
    // rather than writing into whatever lies below. Pages are committed
    // only as the evaluation reaches them.
    const size_t mapped = usable + page;
    void* base = mmap(nullptr, mapped, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    if (base == MAP_FAILED) return -1;
    char* stack = static_cast<char*>(base) + page;
    ucontext_t caller;
    ucontext_t callee;
    if (mprotect(stack, usable, PROT_READ | PROT_WRITE) != 0 || getcontext(&callee) != 0) {
        munmap(base, mapped);
        return -1;
    }
    callee.uc_stack.ss_sp = stack;
    callee.uc_stack.ss_size = usable;
    callee.uc_link = &caller;  // where the body's return resumes
    StackCall call = {body, argument};
    pending_stack_call = &call;
    makecontext(&callee, run_stack_call, 0);
    int switched = swapcontext(&caller, &callee);
    munmap(base, mapped);
    return switched == 0 ? 0 : -1;
}

#endif

namespace {
void fill_status(const struct stat& info, PlatformStatus* status) {
    status->device = static_cast<uint32_t>(info.st_dev);
    status->serial = static_cast<uint64_t>(info.st_ino);
    // The record's type values are the POSIX ones; say so rather than assume.
    uint32_t type = 0;
    if (S_ISDIR(info.st_mode)) type = PLATFORM_TYPE_DIRECTORY;
    else if (S_ISFIFO(info.st_mode)) type = PLATFORM_TYPE_FIFO;
    else type = static_cast<uint32_t>(info.st_mode) & PLATFORM_TYPE_MASK;
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
    // The description alone: for a code without one the C library would make
    // up "Unknown error N", which is no description.
    const char* text = code <= INT32_MAX ? strerrordesc_np(static_cast<int>(code)) : nullptr;
    if (text == nullptr || size <= 0) return 0;
    int32_t length = 0;
    while (length < size - 1 && text[length] != '\0') {
        buffer[length] = text[length];
        ++length;
    }
    buffer[length] = '\0';
    return 1;
}

namespace {
pthread_mutex_t process_lock = PTHREAD_MUTEX_INITIALIZER;
}  // namespace

void platform_lock() { pthread_mutex_lock(&process_lock); }

void platform_unlock() { pthread_mutex_unlock(&process_lock); }
