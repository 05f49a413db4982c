// The integer reader and the cursor, driven directly.
#include <gtest/gtest.h>

#include <cerrno>
#include <climits>
#include <cstdlib>

#include "command/command.h"

namespace {
struct IntegerCase {
    const char* text;
    bool whole;
    int32_t value;
};

TEST(ParseInteger, FollowsBaseZeroConversionAndClampsTo32Bits) {
    const IntegerCase cases[] = {
        {"", true, 0},
        {" 12", true, 12},
        {"\t\n\v\f\r12", true, 12},
        {"12 ", false, 12},
        {"0x1F", true, 31},
        {"0X1f", true, 31},
        {"010", true, 8},
        {"08", false, 0},
        {"+5", true, 5},
        {"-5", true, -5},
        {"0", true, 0},
        {"-0", true, 0},
        {"0x", false, 0},
        {"0xg", false, 0},
        {"-0x10", true, -16},
        {"+", false, 0},
        {"-", false, 0},
        {" ", false, 0},
        {"abc", false, 0},
        {"12abc", false, 12},
        {"2147483647", true, INT32_MAX},
        {"2147483648", true, INT32_MAX},
        {"99999999999999999999999", true, INT32_MAX},
        {"-2147483648", true, INT32_MIN},
        {"-2147483649", true, INT32_MIN},
        {"-99999999999999999999999", true, INT32_MIN},
        {"0xffffffff", true, INT32_MAX},
        {"-0x80000000", true, INT32_MIN},
        {"017777777777", true, INT32_MAX},
        {"1e3", false, 1},
        {"--5", false, 0},
        {"+-5", false, 0},
        {"5\n", false, 5},
    };
    for (const IntegerCase& c : cases) {
        int32_t value = 12345;
        EXPECT_EQ(parse_integer(c.text, &value), c.whole) << "'" << c.text << "'";
        EXPECT_EQ(value, c.value) << "'" << c.text << "'";
    }
}

// Reference: the C library's conversion in base 0, clamped to 32 bits.
TEST(ParseInteger, AgreesWithTheCLibraryOnEveryShortText) {
    const char alphabet[] = {'0', '1', '7', '8', '9', 'x', 'X', 'a', 'F', 'g', '+', '-', ' ', '\t'};
    char text[5];
    // Every text of up to four characters over the alphabet.
    for (int length = 0; length <= 4; ++length) {
        int total = 1;
        for (int i = 0; i < length; ++i) total *= static_cast<int>(sizeof alphabet);
        for (int n = 0; n < total; ++n) {
            int rest = n;
            for (int i = 0; i < length; ++i) {
                text[i] = alphabet[rest % static_cast<int>(sizeof alphabet)];
                rest /= static_cast<int>(sizeof alphabet);
            }
            text[length] = '\0';
            char* end;
            long long expected = strtoll(text, &end, 0);
            if (expected > INT32_MAX) expected = INT32_MAX;
            if (expected < INT32_MIN) expected = INT32_MIN;
            int32_t value;
            ASSERT_EQ(parse_integer(text, &value), *end == '\0') << "'" << text << "'";
            ASSERT_EQ(value, expected) << "'" << text << "'";
        }
    }
}

TEST(ArgCursor, ReadsGivesBackAndRunsPastTheEnd) {
    char a[] = "a", five[] = "5", word[] = "w";
    char* vector[] = {nullptr, a, five, word, nullptr};
    arg_cursor = {4, vector, 1, nullptr};
    EXPECT_EQ(next_token(false), a);
    int32_t value = 0;
    EXPECT_TRUE(next_integer_token(&value));
    EXPECT_EQ(value, 5);
    EXPECT_FALSE(next_integer_token(&value));  // "w" is no integer: not consumed
    EXPECT_EQ(arg_cursor.position, 3);
    EXPECT_EQ(next_token(true), word);
    EXPECT_EQ(next_token(true), nullptr);  // at the end an optional read still advances
    EXPECT_EQ(arg_cursor.position, 5);
    give_back();
    EXPECT_EQ(arg_cursor.position, 4);
    EXPECT_FALSE(next_integer_token(&value));
    EXPECT_EQ(arg_cursor.position, 4);
}
}  // namespace
