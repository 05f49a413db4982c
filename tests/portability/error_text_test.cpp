// The error text slot, the platform's texts and the verb "r".
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/platform.h"
#include "portability/error_text.h"
#include "tests/format/utf8_reference.h"

using namespace bracket;

namespace {
constexpr char CANARY = '\x5A';

// The platform's texts differ by system: the expectations name both.
constexpr bool windows_platform() {
#ifdef _WIN32
    return true;
#else
    return false;
#endif
}

// Reads the current error text into a buffer of size bytes followed by
// canaries, and checks the canaries.
std::string read_text(int32_t size = ERROR_TEXT_SIZE) {
    char buffer[ERROR_TEXT_SIZE + 8];
    memset(buffer, CANARY, sizeof buffer);
    EXPECT_EQ(read_error_text(buffer, size), 1);
    for (int32_t i = size < 0 ? 0 : size; i < size + 8 && i < static_cast<int32_t>(sizeof buffer); ++i)
        EXPECT_EQ(buffer[i], CANARY) << "byte " << i << " past a buffer of " << size;
    return size > 0 ? std::string(buffer) : std::string();
}

TEST(ErrorText, SetThenReadBack) {
    set_error_text("out of memory");
    EXPECT_EQ(platform_error_code(), ERROR_TEXT_CODE);
    EXPECT_EQ(read_text(), "out of memory");
    set_error_text("code %d in %s", 42, "load");
    EXPECT_EQ(read_text(), "code 42 in load");
    // A text that cites the current one reads it as it was before the call.
    set_error_text("while saving: %r");
    EXPECT_EQ(read_text(), "while saving: code 42 in load");
    set_error_text("first");
    set_error_text("%s / %r", "x");
    EXPECT_EQ(read_text(), "x / first");
    set_error_text("[%s]", error_text_slot.text);
    EXPECT_EQ(read_text(), "[x / first]");
}

TEST(ErrorText, AnotherCodeTakesOverAndTheSlotSurvives) {
    set_error_text("mine");
    platform_set_error_code(2);
    char expected[ERROR_TEXT_SIZE];
    system_error_text(2, expected, ERROR_TEXT_SIZE);
    EXPECT_NE(std::string(expected), "mine");
    EXPECT_NE(std::string(expected), "");
    // FormatMessageA's text (Wine's wording) ends in CR LF, kept as one space;
    // the C library's description has no line end.
    EXPECT_STREQ(expected, windows_platform() ? "File not found. " : "No such file or directory");
    EXPECT_EQ(read_text(), expected);
    // The slot keeps its text; the code alone decides which text is current.
    platform_set_error_code(ERROR_TEXT_CODE);
    EXPECT_EQ(read_text(), "mine");
}

TEST(ErrorText, ReadingLeavesTheCodeAlone) {
    platform_set_error_code(0xfffff0);  // no text for it: the fallback is formatted
    read_text();
    EXPECT_EQ(platform_error_code(), 0xfffff0u);
    platform_set_error_code(2);  // a code the platform has a text for
    read_text();
    EXPECT_EQ(platform_error_code(), 2u);
}

TEST(ErrorText, CodesWithoutATextFallBackToTheirNumber) {
    struct Row {
        uint32_t code;
        const char* text;
    };
    const Row rows[] = {
        {0xfffff0, "windows error 16777200"},
        {0x80000001u, "windows error -2147483647"},  // printed as a signed number
        {0xffffffffu, "windows error -1"},
    };
    for (const Row& row : rows) {
        char buffer[ERROR_TEXT_SIZE];
        char* end = system_error_text(row.code, buffer, ERROR_TEXT_SIZE);
        EXPECT_STREQ(buffer, row.text);
        EXPECT_EQ(end, buffer + strlen(row.text));
    }
}

// The texts this platform really gives (on Windows they end in CR LF); the
// line rule itself is tried on made-up texts in platform_text_test.cpp.
TEST(ErrorText, PlatformTextsAreOneLine) {
    for (uint32_t code = 0; code < 200; ++code) {
        char buffer[ERROR_TEXT_SIZE];
        system_error_text(code, buffer, ERROR_TEXT_SIZE);
        EXPECT_EQ(strpbrk(buffer, "\r\n"), nullptr) << code;
        EXPECT_LT(strlen(buffer), static_cast<size_t>(ERROR_TEXT_SIZE)) << code;
    }
}

TEST(ErrorText, SmallAndEmptyDestinations) {
    set_error_text("abc");
    EXPECT_EQ(read_text(1), "");
    read_text(0);  // writes nothing at all: the canaries stand
    read_text(-5);
    EXPECT_EQ(read_text(3), "ab");
    char byte = CANARY;
    EXPECT_EQ(system_error_text(2, &byte, 0), &byte);
    EXPECT_EQ(byte, CANARY);
    EXPECT_EQ(system_error_text(2, &byte, 1), &byte);  // the platform's text, cut to nothing
    EXPECT_EQ(byte, '\0');
}

TEST(ErrorText, LongMessagesAreCutAtACharacter) {
    std::string long_text;
    for (int i = 0; i < 100; ++i) long_text += "\xC3\xA9";  // 200 bytes of two-byte characters
    set_error_text("%s", long_text.c_str());
    std::string text = read_text();
    EXPECT_EQ(text, long_text.substr(0, 126));  // 127 bytes would split the 64th
    set_error_text("x%s", long_text.c_str());
    EXPECT_EQ(read_text(), "x" + long_text.substr(0, 126));
}

// The bounded copy at every cut of a text. The copy must be the longest
// prefix of whole characters, a malformed byte one of its own, that fits
// with its terminator.
TEST(CopyUtf8Bounded, EveryCutOfMixedTexts) {
    const std::string texts[] = {
        "abc",
        "ab\xC3\xA9z",
        "\xE0\xA0\x80"
        "a\xEF\xBF\xBF",
        "abc\x80\x80\x80\x80",  // stray continuation bytes are one character each
        "\xFF\xC3"
        "a",  // malformed bytes are copied whole when they fit
        "a\xF0\x9F\x98\x80"
        "b",  // a four-byte character goes whole or not at all
    };
    for (const std::string& text : texts) {
        for (size_t size = 0; size <= text.size() + 2; ++size) {
            char buffer[32];
            memset(buffer, CANARY, sizeof buffer);
            char* end = copy_utf8_bounded(buffer, buffer + size, text.c_str());
            std::string context = "'" + text + "' into " + std::to_string(size);
            for (size_t i = size; i < sizeof buffer; ++i) ASSERT_EQ(buffer[i], CANARY) << context;
            if (size == 0) {
                EXPECT_EQ(end, buffer) << context;
                continue;
            }
            size_t expected = 0;
            uint32_t ignored;
            for (size_t step; expected < text.size(); expected += step) {
                step = static_cast<size_t>(utf8_reference::decode_full(
                    reinterpret_cast<const unsigned char*>(text.c_str()) + expected, &ignored));
                if (expected + step > size - 1) break;
            }
            EXPECT_EQ(std::string(buffer), text.substr(0, expected)) << context;
            EXPECT_EQ(end, buffer + expected) << context;
        }
    }
}

TEST(CopyUtf8Bounded, DropsACutCharacterWhole) {
    struct Row {
        const char* source;
        size_t size;
        const char* expected;
    };
    const Row rows[] = {
        {"abc", 4, "abc"},         {"abc", 3, "ab"},
        {"ab\xC3\xA9", 4, "ab"},   {"ab\xC3\xA9", 5, "ab\xC3\xA9"},
        {"\xE0\xA0\x80", 3, ""},   {"abc\x80\x80\x80\x80", 6, "abc\x80\x80"},
        {"a\xE2\x82", 3, "a\xE2"},  // a lead before a byte not its own is one byte
    };
    for (const Row& row : rows) {
        char buffer[16];
        char* end = copy_utf8_bounded(buffer, buffer + row.size, row.source);
        EXPECT_STREQ(buffer, row.expected) << row.source << " into " << row.size;
        EXPECT_EQ(end, buffer + strlen(row.expected));
    }
}

TEST(ErrorTextVerb, PrintsTheCurrentTextAsAField) {
    struct Row {
        const char* format;
        const char* expected;
    };
    const Row rows[] = {
        {"[%r]", "[abc]"}, {"[%5r]", "[  abc]"}, {"[%-5r]", "[abc  ]"}, {"[%.2r]", "[ab]"}, {"[%4.1r]", "[   a]"},
    };
    for (const Row& row : rows) {
        set_error_text("abc");
        char buffer[64];
        format_buffer(buffer, sizeof buffer, row.format);
        EXPECT_STREQ(buffer, row.expected) << row.format;
    }
    // Width and precision count characters, not bytes.
    set_error_text("\xC3\xA9t\xC3\xA9");
    char buffer[64];
    format_buffer(buffer, sizeof buffer, "[%5r|%.2r]");
    EXPECT_STREQ(buffer, "[  \xC3\xA9t\xC3\xA9|\xC3\xA9t]");
    // A four-byte character is one character, and is never split.
    set_error_text("\xF0\x9F\x98\x80x");
    format_buffer(buffer, sizeof buffer, "[%-3r|%.1r]");
    EXPECT_STREQ(buffer, "[\xF0\x9F\x98\x80x |\xF0\x9F\x98\x80]");
    EXPECT_EQ(format_buffer(buffer, 4, "%r"), 0);                         // 3 bytes of room
    set_error_text("%s\xF0\x9F\x98\x80", std::string(125, 'x').c_str());  // the slot keeps 127 bytes
    EXPECT_EQ(read_text(), std::string(125, 'x'));
    // Another code: the platform's text.
    platform_set_error_code(0xfffff0);
    format_buffer(buffer, sizeof buffer, "%r");
    EXPECT_STREQ(buffer, "windows error 16777200");
}
}  // namespace
