// The long evaluation's own stack, reached by swapcontext: no thread, so a
// statically linked command carries no thread library's start-up and
// clean-up code into every run for the rare long expression. The build picks
// this file where the C library has makecontext and swapcontext, except for
// instrumented builds: address and thread sanitizers cannot follow a context
// switch, and take posix_stack_thread.cpp.
#include <ucontext.h>

#include "platform/platform.h"
#include "platform/posix.h"

namespace bracket {

namespace {

// makecontext hands a function only int arguments, so the call travels
// through this pointer instead.
PosixStackCall* pending_stack_call;

void run_stack_call() { pending_stack_call->body(pending_stack_call->argument); }
}  // namespace

int platform_run_with_stack(size_t stack_bytes, void (*body)(void*), void* argument) {
    size_t usable = 0;
    char* stack = posix_map_stack(stack_bytes, &usable);
    if (stack == nullptr) return -1;
    ucontext_t caller;
    ucontext_t callee;
    if (getcontext(&callee) != 0) {
        posix_unmap_stack(stack, usable);
        return -1;
    }
    callee.uc_stack.ss_sp = stack;
    callee.uc_stack.ss_size = usable;
    callee.uc_link = &caller;  // where the body's return resumes
    PosixStackCall call = {body, argument};
    pending_stack_call = &call;
    makecontext(&callee, run_stack_call, 0);
    int switched = swapcontext(&caller, &callee);
    posix_unmap_stack(stack, usable);
    return switched == 0 ? 0 : -1;
}

}  // namespace bracket
