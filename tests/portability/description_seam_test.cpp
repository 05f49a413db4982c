// The C library's error descriptions, replaced at link time by the ones
// below: what reaches the error text at the edge of the 128-byte working
// buffer. This program's posix_error_description takes the place of the
// backend's (platform/posix.h).
#include <gtest/gtest.h>

#include <string>

#include "platform/platform.h"
#include "platform/posix.h"
#include "portability/error_text.h"

using namespace bracket;

namespace {
const std::string FITS = std::string(127, 'a');
const std::string ONE_TOO_MANY = std::string(128, 'a');
const std::string SPLIT_AT_127 = std::string(126, 'a') + "\xE2\x82\xAC";  // a euro sign over the edge
}  // namespace

namespace bracket {

const char* posix_error_description(int32_t code, char*, size_t) {
    switch (code) {
        case 1: return FITS.c_str();
        case 2: return ONE_TOO_MANY.c_str();
        case 3: return SPLIT_AT_127.c_str();
        default: return nullptr;
    }
}

}  // namespace bracket

namespace {
TEST(PlatformDescription, ATextThatDoesNotFitIsNoText) {
    struct Row {
        uint32_t code;
        std::string text;
    };
    const Row rows[] = {
        {1, FITS},
        {2, "windows error 2"},
        {3, "windows error 3"},  // never the first 126 bytes and a lone lead byte
        {4, "windows error 4"},
    };
    for (const Row& row : rows) {
        char buffer[ERROR_TEXT_SIZE];
        system_error_text(row.code, buffer, ERROR_TEXT_SIZE);
        EXPECT_EQ(buffer, row.text) << row.code;
        EXPECT_EQ(platform_error_message(row.code, buffer, ERROR_TEXT_SIZE), row.code == 1 ? 1 : 0) << row.code;
    }
}
}  // namespace
