// The operating system layer: the only code that knows which system it runs
// on. One backend per system (posix.cpp, win32.cpp) implements every
// declaration here; the build picks the file.
#pragma once

#include <cstddef>  // size_t
#include <cstdint>

// Writes length bytes to descriptor 2 without buffering, in the runtime's
// text mode (on Windows each line feed leaves as CR LF). Failures are ignored.
void platform_write_error(const char* bytes, int32_t length);

// Ends the process with code after running the runtime's exit handlers.
[[noreturn]] void platform_exit(int code);

// Ends the process with code at once, without the exit handlers.
[[noreturn]] void platform_exit_now(int code);

// Runs body(argument) on a fresh stack of at least stack_bytes and returns 0
// when it has returned; -1 when no such stack could be had (body not run).
// A body that ends the process never comes back, which is fine.
int platform_run_with_stack(size_t stack_bytes, void (*body)(void*), void* argument);
