// The description through strerror_r, which C libraries without
// strerrordesc_np take (platform/posix_description_strerror_r.cpp, linked
// into this program whatever the build chose): here against this build's C
// library, whose made-up texts for unknown codes must count as none.
#include <gtest/gtest.h>

#include <cstring>

#include "platform/posix.h"
#include "portability/error_text.h"

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
}  // namespace
