// A failed check in a fuzz target names itself and aborts, which libFuzzer
// reports as a crash and saves the input for.
#pragma once

#include <cstdio>
#include <cstdlib>

[[noreturn]] inline void fuzz_check_failed(const char* condition, const char* file, int line) {
    fprintf(stderr, "%s:%d: check failed: %s\n", file, line, condition);
    abort();
}

#define CHECK(condition) ((condition) ? (void)0 : fuzz_check_failed(#condition, __FILE__, __LINE__))
