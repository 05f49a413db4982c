// Internal to the POSIX backend: the pieces that differ by C library, each in
// an object file of its own that the build picks (and that a test program
// can replace by linking its own definition).
#pragma once

#include <stddef.h>  // size_t
#include <stdint.h>

namespace bracket {

// The C library's description of code: a text in work (size bytes) or in
// the library's own storage, or null when it has none. A text the library
// makes up for a code it does not know counts as none. May change errno.
const char* posix_error_description(int32_t code, char* work, size_t size);

// A private stack of at least bytes with an inaccessible page below it, so
// that an overrun faults; its usable bottom, or null. Pages are committed
// only as they are reached. usable receives the size above the guard page.
char* posix_map_stack(size_t bytes, size_t* usable);

// Unmaps a stack from posix_map_stack, given its bottom and usable size.
void posix_unmap_stack(char* stack, size_t usable);

// A call for the long evaluation's own stack to run: the body and its one
// argument, travelling as one pointer (a thread's start argument, or what
// makecontext's int-only arguments cannot carry).
struct PosixStackCall {
    void (*body)(void*);
    void* argument;
};

}  // namespace bracket
