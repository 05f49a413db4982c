// A platform for the evaluator's fuzz target, linked in place of the real
// backend: a small fixed file system, deterministic terminals, an allocator
// that can be told to run out, standard error kept in memory, and a process
// exit that jumps back into the harness.
#pragma once

#include <csetjmp>
#include <cstddef>
#include <cstdint>

struct FakeFile {
    const char* name;  // without trailing slashes; "/" is the root
    uint32_t type;     // PLATFORM_TYPE_DIRECTORY, PLATFORM_TYPE_FIFO or 0
    uint32_t permissions;
    int64_t size;
};

// The files there are. A name with trailing slashes finds a directory only,
// as the system's own lookup does.
const FakeFile* fake_find(const char* path);

// The descriptors that are terminals.
bool fake_is_terminal(int32_t descriptor);

struct FakeProcess {
    jmp_buf exit_jump;  // platform_exit jumps here with the code + 1
    char errors[4096];  // what was written to standard error
    size_t error_length;
    int32_t allocations_left;  // -1: no limit
    bool drive_designators;
    bool own_stacks;  // platform_run_with_stack finds a stack
};

extern FakeProcess fake_process;

// Releases the blocks handed out since the last call.
void fake_release_allocations();
