// The writers take a stretch of units at once when the room allows and go
// unit by unit only near the limit. Both ways must give the same text: a
// format is run into a large buffer (the stretch paths), into every smaller
// size (the cut at the limit), and into a small buffer whose hook flushes it
// and starts over (the unit-by-unit path at every stretch), and the results
// are compared.
#include <gtest/gtest.h>

#include <cstdarg>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "format/format.h"
#include "tests/format/harness.h"

namespace {

using format_test::format_guarded;
using format_test::Formatted;

struct Streamed {
    int32_t result;
    int32_t emitted;
    std::string text;
    bool emitted_behind;
    bool canaries_intact;
};

// Runs the format over a narrow buffer of room bytes that the hook empties
// whenever a unit does not fit.
Streamed run_streamed(int32_t room, const char* format, ...) {
    format_test::Target target(false, room);
    format_test::Sink sink;
    target.state.overflow_hook = format_test::flush_to_sink;
    target.state.hook_arg = &sink;
    va_list args;
    va_start(args, format);
    va_copy(target.state.args, args);
    const int32_t result = format_run(&target.state, format);
    va_end(target.state.args);
    va_end(args);
    sink.text.append(target.state.buffer_start, target.written_bytes());
    return {result, target.state.emitted, sink.text, sink.emitted_behind, target.canaries_intact()};
}

struct Case {
    const char* label;
    std::string expected;
    std::function<Formatted(int32_t size)> bounded;
    std::function<Streamed(int32_t room)> streamed;
};

// One row: the label, the expected text (embedded NULs kept), and the same
// format and arguments run both ways.
// clang-format off
#define CASE(expected, ...)                                                \
    Case{#__VA_ARGS__, std::string(expected, sizeof(expected) - 1),        \
         [](int32_t size) { return format_guarded(size, __VA_ARGS__); },   \
         [](int32_t room) { return run_streamed(room, __VA_ARGS__); }}
// clang-format on

const char ASCII_20[] = "twenty-byte-text-abc";
// 22 characters in 34 bytes.
const char UTF8_22[] =
    "Gr\xC3\xBC\xC3\x9F"
    "e \xE2\x80\x94 20 \xE2\x82\xAC f\xC3\xBCr \xCE\xA9\xCE\xBC\xCE\xAD\xCE\xB3\xCE\xB1";
// Past the first sixteen bytes, words of ASCII, then a sequence and a
// malformed byte.
const char LONG_MIXED[] =
    "0123456789abcdefghijklmnopqrstuvwxyz-0123456789\xC3\xA9xyz\xFF"
    "end";

std::vector<Case> cases() {
    return {
        CASE("ls:    42 items, 01234abc, done      |", "%s: %5d items, %08x, %-10s|", "ls", 42, 0x1234abc, "done"),
        CASE("twenty-byte-text-abc          |", "%-30s|", ASCII_20),
        CASE("        Gr\xC3\xBC\xC3\x9F"
             "e \xE2\x80\x94 20 \xE2\x82\xAC f\xC3\xBCr \xCE\xA9\xCE\xBC\xCE\xAD\xCE\xB3\xCE\xB1|",
             "%30s|", UTF8_22),
        CASE("Gr\xC3\xBC\xC3\x9F"
             "e \xE2\x80\x94 20 \xE2\x82\xAC f\xC3\xBCr \xCE\xA9\xCE\xBC\xCE\xAD\xCE\xB3\xCE\xB1        |",
             "%-30s|", UTF8_22),
        CASE("a\xC2\x80"
             "b\xE2\x82\xAC"
             "c\xC2\x80xyz|",
             "%s|",
             "a\x80"
             "b\xE2\x82\xAC"
             "c\xFFxyz"),
        CASE("0123456789abcdefghijklmnopqrstuvwxyz-0123456789\xC3\xA9xyz\xC2\x80"
             "end",
             "%s", LONG_MIXED),
        CASE("  0123456789abcdefghijklmnopqrstuvwxyz-0123456789\xC3\xA9xyz\xC2\x80"
             "end",
             "%57s", LONG_MIXED),
        // A byte of 0x80 or more among the last two that cannot start a
        // whole sequence there ends the text, though it was counted.
        CASE(" a\xC2\x80|", "%5s|", "a\x80\xFF!"),
        CASE("0123456789abcdef |0123456789abcde|0123456789abcdefg|", "%-17s|%s|%s|", "0123456789abcdef",
             "0123456789abcde", "0123456789abcdefg"),
        CASE("0123456789abcdef\xC3\xA9|", "%s|", "0123456789abcdef\xC3\xA9"),
        CASE("h\xC3\xA9ll|", "%.5s|", "h\xC3\xA9llo world"),
        // A precision that stops one character short of a word of eight, with
        // more text behind it.
        CASE("abcdefg|0123456789abcde|", "%.7s|%.15s|", "abcdefghij", "0123456789abcdefghij"),
        CASE("1,234,567 -1,000 ff,fff 999", "%,d %,d %,x %,d", 1234567, -1000, 0xfffff, 999),
        CASE("0000beef -42     |    +7 010 0xff 0003", "%08x %-8d| %+5d %#o %#x %.4d", 0xbeef, -42, 7, 8, 255, 3),
        CASE("\xC3\xA9t\xC3\xA9 \xE2\x82\xAC"
             "5 \xFF end",
             "\xC3\xA9t\xC3\xA9 \xE2\x82\xAC%d \xFF end", 5),
        CASE("ab|ab  |", "%s|%-5s|", "ab\xE2", "ab\xE2"),
        CASE("x\0    y|", "%c%c%5c|", 'x', 0, 'y'),
        CASE("%|    %|%  |", "%%|%5%|%-3%|"),
        CASE("%q%|  %q%", "%q|%5q"),
        CASE("                                       7|", "%40d|", 7),
        CASE("|<ni|", "%.0s|%.3s|", "abc", static_cast<const char*>(nullptr)),
    };
}

// The positions where output units begin: the literal copy and the
// conversions write whole UTF-8 sequences and single malformed bytes, which
// is how the decoder splits the text again.
std::vector<size_t> unit_starts(const std::string& text) {
    std::vector<size_t> starts;
    for (size_t at = 0; at < text.size();) {
        starts.push_back(at);
        Char16 ignored;
        at += static_cast<size_t>(decode_utf8_char(&ignored, text.c_str() + at));
    }
    starts.push_back(text.size());
    return starts;
}

TEST(FastPaths, ALargeBufferGetsTheWholeText) {
    for (const Case& c : cases()) {
        Formatted full = c.bounded(512);
        EXPECT_EQ(full.text, c.expected) << c.label;
        EXPECT_EQ(full.result, static_cast<int32_t>(c.expected.size())) << c.label;
    }
}

// At every size the text stops after the last unit that fits, and nothing
// past the terminator is touched (format_guarded checks the canaries).
TEST(FastPaths, EverySizeCutsAfterTheLastWholeUnit) {
    for (const Case& c : cases()) {
        std::vector<size_t> starts = unit_starts(c.expected);
        for (int32_t size = 1; size <= static_cast<int32_t>(c.expected.size()) + 1; ++size) {
            size_t kept = 0;
            for (size_t start : starts) {
                if (start <= static_cast<size_t>(size - 1)) kept = start;
            }
            Formatted cut = c.bounded(size);
            EXPECT_EQ(cut.text, c.expected.substr(0, kept)) << c.label << " size " << size;
            EXPECT_EQ(cut.result, static_cast<int32_t>(kept)) << c.label << " size " << size;
        }
    }
}

// A hook that empties a small buffer sends nearly every stretch down the
// unit-by-unit path; the text, the count and the result must not change.
TEST(FastPaths, ASmallBufferWithAHookGivesTheSameText) {
    for (const Case& c : cases()) {
        for (int32_t room : {3, 4, 5, 7, 8, 9, 16, 17}) {
            Streamed streamed = c.streamed(room);
            EXPECT_EQ(streamed.text, c.expected) << c.label << " room " << room;
            EXPECT_EQ(streamed.result, static_cast<int32_t>(c.expected.size())) << c.label << " room " << room;
            EXPECT_EQ(streamed.emitted, static_cast<int32_t>(c.expected.size())) << c.label << " room " << room;
            EXPECT_FALSE(streamed.emitted_behind) << c.label << " room " << room;
            EXPECT_TRUE(streamed.canaries_intact) << c.label << " room " << room;
        }
    }
}

}  // namespace
