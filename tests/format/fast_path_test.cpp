// The writers take a stretch of units at once when the room allows and go
// unit by unit only near the limit. Both ways must give the same text: a
// format is run into a large buffer (the stretch paths), into every smaller
// size (the cut at the limit), and into a small buffer whose hook flushes it
// and starts over (the unit-by-unit path at every stretch), and the results
// are compared. Each case runs in wide output too, where it must give the
// characters of its narrow text as 16-bit units.
#include <gtest/gtest.h>

#include <cstdarg>
#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "format/format.h"
#include "portability/error_text.h"
#include "tests/format/harness.h"
#include "tests/format/utf8_reference.h"

using namespace bracket;

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

// What "%r" prints in every case.
#define ERROR_TEXT "caf\xE9 cr\xE8me"

// Runs the format over a buffer of room units; with hook set, one that the
// hook empties whenever a unit does not fit.
Streamed run_streamed(bool wide, int32_t room, bool hook, const char* format, ...) {
    set_error_text(ERROR_TEXT);
    format_test::Target target(wide, room);
    format_test::Sink sink;
    if (hook) {
        target.state.overflow_hook = format_test::flush_to_sink;
        target.state.hook_arg = &sink;
    }
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
    std::function<Streamed(bool wide, int32_t room, bool hook)> streamed;
};

// One row: the label, the expected text (embedded NULs kept), and the same
// format and arguments run both ways.
// clang-format off
#define CASE(expected, ...)                                                \
    Case{#__VA_ARGS__, std::string(expected, sizeof(expected) - 1),        \
         [](int32_t size) { set_error_text(ERROR_TEXT);                    \
                            return format_guarded(size, __VA_ARGS__); },   \
         [](bool wide, int32_t room, bool hook) {                          \
             return run_streamed(wide, room, hook, __VA_ARGS__); }}
// clang-format on

#define M "\xC2\x80"  // what a malformed byte comes out as

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
        CASE(" a\xC2\x80\xC2\x80!|", "%5s|", "a\x80\xFF!"),
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
        CASE("ab" M "|ab" M "  |", "%s|%-5s|", "ab\xE2", "ab\xE2"),
        CASE("x\0    y|", "%c%c%5c|", 'x', 0, 'y'),
        CASE("%|    %|%  |", "%%|%5%|%-3%|"),
        CASE("%q%|  %q%", "%q|%5q"),
        CASE("                                       7|", "%40d|", 7),
        CASE("|<ni|", "%.0s|%.3s|", "abc", static_cast<const char*>(nullptr)),
        // A malformed byte in a field is U+0080 wherever it stands, the
        // last before the terminator included, and the text goes on.
        CASE("[B" M "r   ]/42", "[%-6s]/%d", "B\xE4r", 42),
        CASE("[caf" M "!]/[a" M "z]/[a" M "z]", "[%s]/[%s]/[%s]", "caf\xE9!", "a\xFFz", "a\xC3z"),
        CASE("Voil" M " un caf" M " cr" M "me, d" M "j" M "|", "%s|", "Voil\xE0 un caf\xE9 cr\xE8me, d\xE9j\xE0"),
        CASE("[Gar" M "on      ]", "[%-12s]", "Gar\xE7on"),
        // Windows-1252's own bytes, 0x80 to 0x9F, are continuation bytes.
        CASE("[5" M " " M "q" M " " M M M "]", "[%s]", "5\x80 \x93q\x94 \x85\x91\x9F"),
        CASE("[" M "]/[  " M "]/%\xC3\xA8%|%\xE2\x82\xAC%", "[%c]/[%3c]/%\xC3\xA8|%\xE2\x82\xAC", 0xE9, 0x80),
        // A verb no table holds prints as written, four bytes whole; a
        // malformed byte after "%" is U+0080.
        CASE("[%\xC3\xA9%|7]/%\xE0\xA0\x80%|%" M "%|", "[%\xC3\xA9|%d]/%\xE0\xA0\x80|%\xFF|", 7),
        // A precision, which bounds the bytes read, cuts what is as far as
        // it goes a well-formed beginning, and nothing else; a text that it
        // stops is no failure.
        CASE("h|tail|h\xC3\xA9|h|    \xC3\xA9", "%.2s|tail|%.3s|%.2s|%5s", "h\xC3\xA9llo", "h\xC3\xA9llo",
             "h\xC3\xA9llo", "\xC3\xA9"),
        CASE(M "Z||", "%.2s|%.1s|", "\xE2ZZ", "\xC3"),
        CASE("caf|tail|caf" M " cr" M "me  |", "%.3r|tail|%-12r|"),
    };
}

// How the decoder splits a narrow text again: where its output units begin
// (the literal copy and the conversions write whole UTF-8 sequences and
// single malformed bytes), and the 16-bit units of wide output for it. No
// case here has a character beyond U+FFFF (beyond_16_bits_test.cpp has).
struct Split {
    std::vector<size_t> starts;
    std::u16string wide;
};
Split split(const std::string& text) {
    Split split;
    for (size_t at = 0; at < text.size();) {
        split.starts.push_back(at);
        uint32_t c;
        at += static_cast<size_t>(
            utf8_reference::decode_full(reinterpret_cast<const unsigned char*>(text.c_str()) + at, &c));
        split.wide.push_back(static_cast<char16_t>(c));
    }
    split.starts.push_back(text.size());
    return split;
}

// The bytes of wide output as its units.
std::u16string units_of(const std::string& bytes) {
    std::u16string units(bytes.size() / 2, u'\0');
    if (!units.empty()) std::memcpy(&units[0], bytes.data(), units.size() * 2);
    return units;
}

TEST(FastPaths, ALargeBufferGetsTheWholeText) {
    for (const Case& c : cases()) {
        Formatted full = c.bounded(512);
        EXPECT_EQ(full.text, c.expected) << c.label;
        EXPECT_EQ(full.result, static_cast<int32_t>(c.expected.size())) << c.label;
        const std::u16string wide = split(c.expected).wide;
        Streamed whole = c.streamed(true, 512, false);
        EXPECT_EQ(units_of(whole.text), wide) << c.label << " wide";
        EXPECT_EQ(whole.result, static_cast<int32_t>(wide.size())) << c.label << " wide";
    }
}

// At every size the text stops after the last unit that fits, and nothing
// past the terminator is touched (format_guarded checks the canaries).
TEST(FastPaths, EverySizeCutsAfterTheLastWholeUnit) {
    for (const Case& c : cases()) {
        const Split units = split(c.expected);
        for (int32_t size = 1; size <= static_cast<int32_t>(c.expected.size()) + 1; ++size) {
            size_t kept = 0;
            for (size_t start : units.starts) {
                if (start <= static_cast<size_t>(size - 1)) kept = start;
            }
            Formatted cut = c.bounded(size);
            EXPECT_EQ(cut.text, c.expected.substr(0, kept)) << c.label << " size " << size;
            EXPECT_EQ(cut.result, static_cast<int32_t>(kept)) << c.label << " size " << size;
        }
        // A cut run fails, unless a verb without a handler (which reports
        // nothing) met the limit.
        const int32_t total = static_cast<int32_t>(units.wide.size());
        for (int32_t room = 0; room <= total; ++room) {
            Streamed cut = c.streamed(true, room, false);
            EXPECT_EQ(units_of(cut.text), units.wide.substr(0, static_cast<size_t>(room))) << c.label << " " << room;
            EXPECT_EQ(cut.result, room == total || cut.result != -1 ? room : -1) << c.label << " wide room " << room;
            EXPECT_TRUE(cut.canaries_intact) << c.label << " wide room " << room;
        }
    }
}

// A hook that empties a small buffer sends nearly every stretch down the
// unit-by-unit path; the text, the count and the result must not change.
TEST(FastPaths, ASmallBufferWithAHookGivesTheSameText) {
    for (const Case& c : cases()) {
        const std::u16string wide = split(c.expected).wide;
        for (bool in_wide : {false, true}) {
            const int32_t units = static_cast<int32_t>(in_wide ? wide.size() : c.expected.size());
            for (int32_t room : {3, 4, 5, 7, 8, 9, 16, 17}) {
                const std::string where = c.label + std::string(in_wide ? " wide " : " ") + std::to_string(room);
                Streamed streamed = c.streamed(in_wide, room, true);
                if (in_wide) {
                    EXPECT_EQ(units_of(streamed.text), wide) << where;
                } else {
                    EXPECT_EQ(streamed.text, c.expected) << where;
                }
                EXPECT_EQ(streamed.result, units) << where;
                EXPECT_EQ(streamed.emitted, units) << where;
                EXPECT_FALSE(streamed.emitted_behind) << where;
                EXPECT_TRUE(streamed.canaries_intact) << where;
            }
        }
    }
}

}  // namespace
