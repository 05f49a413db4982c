// POSIX backend of the operating system layer.
#include "platform/platform.h"

#include <pthread.h>
#include <unistd.h>

#include <cstdlib>  // exit

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

namespace {
struct StackCall {
    void (*body)(void*);
    void* argument;
};

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
