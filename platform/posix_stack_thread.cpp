// The long evaluation's own stack, run as a thread on a stack mapped here:
// for C libraries without makecontext and swapcontext (musl), and for
// instrumented builds, whose sanitizers follow threads but not context
// switches. The caller waits, so the process still runs one thing at a time.
#include <pthread.h>

#include "platform/platform.h"
#include "platform/posix.h"

namespace bracket {

namespace {

void* run_stack_call(void* raw) {
    PosixStackCall* call = static_cast<PosixStackCall*>(raw);
    call->body(call->argument);
    return nullptr;
}
}  // namespace

int platform_run_with_stack(size_t stack_bytes, void (*body)(void*), void* argument) {
    size_t usable = 0;
    char* stack = posix_map_stack(stack_bytes, &usable);
    if (stack == nullptr) return -1;
    pthread_attr_t attributes;
    int failed = pthread_attr_init(&attributes);
    pthread_t thread;
    PosixStackCall call = {body, argument};
    if (failed == 0) {
        // The stack given here keeps the guard page below it; the library
        // adds none of its own to a stack it did not map.
        failed = pthread_attr_setstack(&attributes, stack, usable);
        if (failed == 0) failed = pthread_create(&thread, &attributes, run_stack_call, &call);
        pthread_attr_destroy(&attributes);
    }
    if (failed == 0) pthread_join(thread, nullptr);
    posix_unmap_stack(stack, usable);
    return failed == 0 ? 0 : -1;
}

}  // namespace bracket
