// Runs the bounded entry points over buffers followed by canary bytes and
// fails the current test when a byte past the terminator changed.
#pragma once

#include <cstdarg>
#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "format/format.h"

constexpr char CANARY = static_cast<char>(0xA5);
constexpr int32_t CANARY_BYTES = 8;

struct Formatted {
    int32_t result;
    std::string text;  // the bytes before the terminator
};

// Checks that the terminator sits at result and nothing after it was touched
// (with a failed call: nothing at all).
inline void expect_untouched_after(const std::vector<char>& bytes, int32_t first) {
    for (size_t i = static_cast<size_t>(first); i < bytes.size(); ++i) {
        EXPECT_EQ(bytes[i], CANARY) << "byte " << i << " written";
    }
}

inline Formatted format_guarded(int32_t size, const char* format, ...) {
    std::vector<char> bytes(static_cast<size_t>(size > 0 ? size : 0) + CANARY_BYTES, CANARY);
    va_list args;
    va_start(args, format);
    int32_t result = format_buffer_args(bytes.data(), size, format, args);
    va_end(args);
    if (result < 0) {
        expect_untouched_after(bytes, 0);
        return {result, ""};
    }
    EXPECT_LT(result, size);
    EXPECT_EQ(bytes[static_cast<size_t>(result)], '\0');
    expect_untouched_after(bytes, result + 1);
    return {result, std::string(bytes.data(), static_cast<size_t>(result))};
}

// Formats with a buffer large enough for every test text.
#define FORMAT_TEXT(...) format_guarded(256, __VA_ARGS__).text
