// The one-line rule for the platform's texts, on texts made up here. This
// program defines the thread error code, the platform's message source and
// the process lock (which the verb table takes) in place of the backend's;
// the formatting library needs nothing else from it.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/platform.h"
#include "portability/error_text.h"

using namespace bracket;

namespace {
uint32_t error_code = 0;
const char* message = nullptr;  // the platform's text for every code; null: none
}  // namespace

// The backend's functions, defined in its namespace.
namespace bracket {

uint32_t platform_error_code() { return error_code; }

void platform_set_error_code(uint32_t code) { error_code = code; }

int32_t platform_error_message(uint32_t, char* buffer, int32_t size) {
    if (message == nullptr || strlen(message) >= static_cast<size_t>(size)) return 0;
    strcpy(buffer, message);
    return 1;
}

// One thread runs here: the lock has nothing to keep apart.
void platform_lock_process() {}

void platform_unlock_process() {}

}  // namespace bracket

namespace {
TEST(PlatformText, CarriageReturnsGoAndLineFeedsBecomeSpaces) {
    const std::string long_line = std::string(125, 'x') + "\r\n";  // 127 bytes, the most that fits
    struct Row {
        const char* platform;
        std::string expected;
    };
    const Row rows[] = {
        {"File not found.\r\n", "File not found. "},
        {"one\r\ntwo\r\n", "one two "},
        {"a\nb\rc", "a bc"},
        {"\r\r\n\n", "  "},
        {"\r", ""},
        {long_line.c_str(), std::string(125, 'x') + " "},
    };
    for (const Row& row : rows) {
        message = row.platform;
        char buffer[ERROR_TEXT_SIZE];
        char* end = system_error_text(5, buffer, ERROR_TEXT_SIZE);
        EXPECT_EQ(std::string(buffer), row.expected) << row.expected;
        EXPECT_EQ(end, buffer + row.expected.size()) << row.expected;
        // The text read for the thread's code, and printed by the verb "r".
        platform_set_error_code(5);
        char read[ERROR_TEXT_SIZE];
        read_error_text(read, ERROR_TEXT_SIZE);
        EXPECT_EQ(std::string(read), row.expected);
        char printed[ERROR_TEXT_SIZE + 2];
        format_buffer(printed, sizeof printed, "%r|");
        EXPECT_EQ(std::string(printed), row.expected + "|");
    }
    message = nullptr;
}

TEST(PlatformText, TheSlotsTextIsNotTouched) {
    // Only the platform's texts are brought to one line.
    set_error_text("two\r\nlines");
    char read[ERROR_TEXT_SIZE];
    read_error_text(read, ERROR_TEXT_SIZE);
    EXPECT_STREQ(read, "two\r\nlines");
}
}  // namespace
