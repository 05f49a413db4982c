#include "fuzz/fake_platform.h"

#include <cstdlib>
#include <cstring>

#include "platform/platform.h"

using bracket::PLATFORM_TYPE_DIRECTORY;
using bracket::PLATFORM_TYPE_FIFO;
using bracket::PlatformStatus;

FakeProcess fake_process;

namespace {
const FakeFile FILES[] = {
    {"/", PLATFORM_TYPE_DIRECTORY, 0755, 4096},
    {"d", PLATFORM_TYPE_DIRECTORY, 0700, 4096},
    {"c:", PLATFORM_TYPE_DIRECTORY, 0555, 0},
    {"f", 0, 0644, 3},
    {"e", 0, 0600, 0},
    {"x", 0, 0711, 2147483648LL},
    {"p", PLATFORM_TYPE_FIFO, 0622, 0},
    {"d/f", 0, 0400, 1},
};

// More than the harness's longest vector can ask for.
constexpr int MAX_BLOCKS = 2048;
void* blocks[MAX_BLOCKS];
int block_count = 0;

uint32_t error_code = 0;
}  // namespace

const FakeFile* fake_find(const char* path) {
    size_t length = strlen(path);
    bool trailing = false;
    while (length > 1 && path[length - 1] == '/') {
        --length;
        trailing = true;
    }
    for (const FakeFile& file : FILES) {
        if (strlen(file.name) == length && memcmp(file.name, path, length) == 0) {
            if (trailing && file.type != PLATFORM_TYPE_DIRECTORY) return nullptr;
            return &file;
        }
    }
    return nullptr;
}

bool fake_is_terminal(int32_t descriptor) { return descriptor == 0 || descriptor == 7; }

void fake_release_allocations() {
    for (int i = 0; i < block_count; ++i) free(blocks[i]);
    block_count = 0;
}

// The backend's functions, defined in its namespace.
namespace bracket {

void platform_write_error(const char* bytes, int32_t length) {
    for (int32_t i = 0; i < length && fake_process.error_length < sizeof fake_process.errors; ++i) {
        fake_process.errors[fake_process.error_length++] = bytes[i];
    }
}

void platform_exit(int code) { longjmp(fake_process.exit_jump, code + 1); }

void platform_exit_now(int code) { longjmp(fake_process.exit_jump, code + 1); }

int platform_run_with_stack(size_t, void (*body)(void*), void* argument) {
    if (!fake_process.own_stacks) return -1;
    body(argument);
    return 0;
}

int platform_status_of_path(const char* path, PlatformStatus* status) {
    const FakeFile* file = fake_find(path);
    if (file == nullptr) return -1;
    status->device = 1;
    status->serial = static_cast<uint64_t>(file - FILES) + 1;
    status->mode = file->type | file->permissions;
    status->size = file->size;
    status->access_time = 0;
    status->modify_time = 0;
    return 0;
}

int platform_status_of_descriptor(int32_t, PlatformStatus*) { return -1; }

int platform_access(const char* path, int32_t mode) {
    const FakeFile* file = fake_find(path);
    if (file == nullptr) return -1;
    // The owner's bits decide, as for an unprivileged owner.
    uint32_t owner = file->permissions >> 6;
    return (owner & static_cast<uint32_t>(mode)) == static_cast<uint32_t>(mode) ? 0 : -1;
}

int platform_is_terminal(int32_t descriptor) { return fake_is_terminal(descriptor) ? 1 : 0; }

bool platform_has_drive_designators() { return fake_process.drive_designators; }

void* platform_allocate(size_t bytes) {
    if (fake_process.allocations_left == 0 || block_count == MAX_BLOCKS) return nullptr;
    if (fake_process.allocations_left > 0) --fake_process.allocations_left;
    void* block = malloc(bytes);
    if (block != nullptr) blocks[block_count++] = block;
    return block;
}

void platform_release(void* block) {
    for (int i = 0; i < block_count; ++i) {
        if (blocks[i] == block) {
            blocks[i] = blocks[--block_count];
            free(block);
            return;
        }
    }
}

uint32_t platform_error_code() { return error_code; }

void platform_set_error_code(uint32_t code) { error_code = code; }

int32_t platform_error_message(uint32_t code, char* buffer, int32_t size) {
    if (code > 3 || size <= 0) return 0;
    strncpy(buffer, "fake error", static_cast<size_t>(size) - 1);
    buffer[size - 1] = '\0';
    return 1;
}

// One thread runs here: the lock has nothing to keep apart.
void platform_lock_process() {}

void platform_unlock_process() {}

}  // namespace bracket
