// Pieces of the POSIX backend: the description through strerror_r, which C
// libraries without strerrordesc_np take (posix_description_strerror_r.cpp,
// linked into this program whatever the build chose), against this build's
// C library, whose made-up texts for unknown codes must count as none; and
// the guard page below a long evaluation's stack.
#include <gtest/gtest.h>

#include <cstring>

#include "platform/posix.h"
#include "portability/error_text.h"

using namespace bracket;

namespace {
TEST(StrerrorRDescription, KnownCodesOnly) {
    char work[256];
    const char* text = posix_error_description(2, work, sizeof work);
    ASSERT_NE(text, nullptr);
    EXPECT_STREQ(text, "No such file or directory");
    for (int32_t unknown : {5000, 0xfffff0, -3, INT32_MAX}) {
        EXPECT_EQ(posix_error_description(unknown, work, sizeof work), nullptr) << unknown;
    }
    char buffer[ERROR_TEXT_SIZE];
    system_error_text(5000, buffer, ERROR_TEXT_SIZE);
    EXPECT_STREQ(buffer, "windows error 5000");
}

TEST(PosixStack, AnOverrunFaultsInTheGuardPage) {
    size_t usable = 0;
    char* stack = posix_map_stack(100000, &usable);
    ASSERT_NE(stack, nullptr);
    EXPECT_GE(usable, 100000u);
    volatile char* bytes = stack;
    bytes[0] = 1;  // the whole stack is writable, up to its last byte
    bytes[usable - 1] = 1;
    EXPECT_DEATH(bytes[-1] = 1, "");
    posix_unmap_stack(stack, usable);
}
}  // namespace
