// The record builder when the allocator fails. This program links its own
// allocator and release in place of the platform's, so it runs apart from
// other tests.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "platform/platform.h"
#include "portability/error_text.h"
#include "portability/file_status.h"

using namespace bracket;

namespace {
bool fail_allocations = false;
}  // namespace

namespace bracket {

void* platform_allocate(size_t bytes) { return fail_allocations ? nullptr : std::malloc(bytes); }

void platform_release(void* block) { std::free(block); }

}  // namespace bracket

namespace {
TEST(OutOfMemory, NoRecordAndTheErrorTextSaysWhy) {
    platform_set_error_code(0);
    fail_allocations = true;
    FileStatus* status = file_status_of_path(".");
    fail_allocations = false;
    EXPECT_EQ(status, nullptr);
    EXPECT_EQ(platform_error_code(), ERROR_TEXT_CODE);
    char text[ERROR_TEXT_SIZE];
    read_error_text(text, sizeof text);
    EXPECT_STREQ(text, "out of memory");

    // A failed status query sets no text of its own.
    platform_set_error_code(0);
    fail_allocations = true;
    EXPECT_EQ(file_status_of_path("/no/such/path"), nullptr);
    fail_allocations = false;
    EXPECT_NE(platform_error_code(), ERROR_TEXT_CODE);

    status = file_status_of_path(".");
    ASSERT_NE(status, nullptr);
    release_file_status(status);
}
}  // namespace
