// The field writers and the text conversions, each run on a
// prepared FormatState as the format loop would run it, in narrow and in
// wide output, with canary bytes after every buffer.
#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <cstring>
#include <string>

#include "format/format.h"
#include "tests/format/harness.h"

using namespace bracket;

namespace {

using format_test::LEFT;
using format_test::PREC;
using format_test::SENTINEL;
using format_test::Spec;
using format_test::Target;
using format_test::w16;
using format_test::WIDTH;

// The one argument a handler takes, of the type it takes.
struct Arg {
    enum Kind { NONE, INT, TEXT, TEXT16 } kind;
    int number;
    const char* text;
    const Char16* text16;
};
Arg none() { return Arg{Arg::NONE, 0, nullptr, nullptr}; }
Arg num(int n) { return Arg{Arg::INT, n, nullptr, nullptr}; }
Arg str(const char* s) { return Arg{Arg::TEXT, 0, s, nullptr}; }
Arg str16(const char16_t* s) { return Arg{Arg::TEXT16, 0, nullptr, w16(s)}; }

int32_t run_with(Target& t, Spec spec, ConversionHandler handler, const Arg& arg) {
    switch (arg.kind) {
        case Arg::INT: return t.run(spec, handler, arg.number, SENTINEL);
        case Arg::TEXT: return t.run(spec, handler, arg.text, SENTINEL);
        case Arg::TEXT16: return t.run(spec, handler, arg.text16, SENTINEL);
        case Arg::NONE: break;
    }
    return t.run(spec, handler, SENTINEL);
}

struct Row {
    const char* what;  // the spec as it would stand in a format string
    Spec spec;
    ConversionHandler handler;
    Arg arg;
    std::string narrow;
    int32_t narrow_result;
    std::u16string wide;
    int32_t wide_result;
};

// Runs the row in both output forms; emitted must always count exactly the
// units committed.
void check(const Row& row, int32_t room_units = 64) {
    SCOPED_TRACE(row.what);
    {
        Target t(false, room_units);
        EXPECT_EQ(run_with(t, row.spec, row.handler, row.arg), row.narrow_result) << "narrow";
        EXPECT_EQ(t.narrow(), row.narrow) << "narrow";
        EXPECT_EQ(t.state.emitted, static_cast<int32_t>(row.narrow.size()));
    }
    {
        Target t(true, room_units);
        EXPECT_EQ(run_with(t, row.spec, row.handler, row.arg), row.wide_result) << "wide";
        EXPECT_EQ(t.wide(), row.wide) << "wide";
        EXPECT_EQ(t.state.emitted, static_cast<int32_t>(row.wide.size()));
    }
}

std::string nul_byte() { return std::string(1, '\0'); }
std::u16string nul_unit() { return std::u16string(1, u'\0'); }

TEST(ConvertString, WidthPrecisionAndAlignment) {
    const Row rows[] = {
        {"%s ab", {'s'}, convert_string, str("ab"), "ab", 0, u"ab", 0},
        {"%s empty", {'s'}, convert_string, str(""), "", 0, u"", 0},
        {"%5s ab", {'s', WIDTH, 5}, convert_string, str("ab"), "   ab", 0, u"   ab", 0},
        {"%-5s ab", {'s', WIDTH | LEFT, 5}, convert_string, str("ab"), "ab   ", 0, u"ab   ", 0},
        {"%1s abc", {'s', WIDTH, 1}, convert_string, str("abc"), "abc", 0, u"abc", 0},
        {"%.2s abc", {'s', PREC, 0, 2}, convert_string, str("abc"), "ab", 0, u"ab", 0},
        {"%.0s abc", {'s', PREC, 0, 0}, convert_string, str("abc"), "", 0, u"", 0},
        {"%.9s abc", {'s', PREC, 0, 9}, convert_string, str("abc"), "abc", 0, u"abc", 0},
        {"%5.1s abc", {'s', PREC, 5, 1}, convert_string, str("abc"), "    a", 0, u"    a", 0},
        {"%-5.1s abc", {'s', PREC | LEFT, 5, 1}, convert_string, str("abc"), "a    ", 0, u"a    ", 0},
        {"%3.0s abc", {'s', PREC, 3, 0}, convert_string, str("abc"), "   ", 0, u"   ", 0},
    };
    for (const Row& row : rows) check(row);
}

TEST(ConvertString, NullPointerIsNil) {
    const Row rows[] = {
        {"%s null", {'s'}, convert_string, str(nullptr), "<nil>", 0, u"<nil>", 0},
        {"%.2s null", {'s', PREC, 0, 2}, convert_string, str(nullptr), "<n", 0, u"<n", 0},
        {"%7s null", {'s', WIDTH, 7}, convert_string, str(nullptr), "  <nil>", 0, u"  <nil>", 0},
        {"%7S null", {'S', WIDTH, 7}, convert_string16, str16(nullptr), "  <nil>", 0, u"  <nil>", 0},
        {"%-7S null", {'S', WIDTH | LEFT, 7}, convert_string16, str16(nullptr), "<nil>  ", 0, u"<nil>  ", 0},
        // The precision caps "<nil>" for "S" too; it is written as UTF-8 text.
        {"%4.3S null", {'S', PREC, 4, 3}, convert_string16, str16(nullptr), " <ni", 0, u" <ni", 0},
    };
    for (const Row& row : rows) check(row);
}

TEST(ConvertString, WidthCountsCharactersNotBytes) {
    const Row rows[] = {
        {"%3s e-acute", {'s', WIDTH, 3}, convert_string, str("\xC3\xA9"), "  \xC3\xA9", 0, u"  \u00E9", 0},
        {"%6s hello", {'s', WIDTH, 6}, convert_string, str("h\xC3\xA9llo"), " h\xC3\xA9llo", 0, u" h\u00E9llo", 0},
        {"%-3s euro", {'s', WIDTH | LEFT, 3}, convert_string, str("\xE2\x82\xAC"), "\xE2\x82\xAC  ", 0, u"\u20AC  ", 0},
        {"%s U+FFFF", {'s'}, convert_string, str("\xEF\xBF\xBF"), "\xEF\xBF\xBF", 0, u"\uFFFF", 0},
    };
    for (const Row& row : rows) check(row);
}

TEST(ConvertString, PrecisionBoundsBytesAndDropsACutCharacter) {
    // Adjacent literals end the hex escapes; clang-format would split them.
    // clang-format off
    const Row rows[] = {
        {"%.3s hello", {'s', PREC, 0, 3}, convert_string, str("h\xC3\xA9llo"), "h\xC3\xA9", 0, u"h\u00E9", 0},
        {"%.2s hello", {'s', PREC, 0, 2}, convert_string, str("h\xC3\xA9llo"), "h", 0, u"h", 0},
        {"%.3s euro x", {'s', PREC, 0, 3}, convert_string, str("\xE2\x82\xAC" "x"), "\xE2\x82\xAC", 0, u"\u20AC", 0},
        {"%.2s euro x", {'s', PREC, 0, 2}, convert_string, str("\xE2\x82\xAC" "x"), "", 0, u"", 0},
        // The cut character is not counted, so the fill covers it.
        {"%3.2s hello", {'s', PREC, 3, 2}, convert_string, str("h\xC3\xA9llo"), "  h", 0, u"  h", 0},
    };
    // clang-format on
    for (const Row& row : rows) check(row);
}

TEST(ConvertString, MalformedBytes) {
    // Adjacent literals end the hex escapes; clang-format would split them.
    // clang-format off
    const Row rows[] = {
        {"%s 80 41", {'s'}, convert_string, str("\x80" "A"), "\xC2\x80" "A", 0, u"\u0080A", 0},
        {"%3s 80 41", {'s', WIDTH, 3}, convert_string, str("\x80" "A"), " \xC2\x80" "A", 0, u" \u0080A", 0},
        {"%s C0 AF z", {'s'}, convert_string, str("\xC0\xAF" "z"), "\xC2\x80\xC2\x80" "z", 0, u"\u0080\u0080z", 0},
        // A lead byte whose promised bytes are not there is a malformed
        // byte, near the terminator as anywhere else, and the text goes on.
        {"%s 61 E2 62", {'s'}, convert_string, str("a\xE2" "b"), "a\xC2\x80" "b", 0, u"a\u0080b", 0},
        {"%4s 61 E2 62", {'s', WIDTH, 4}, convert_string, str("a\xE2" "b"), " a\xC2\x80" "b", 0, u" a\u0080b", 0},
        {"%-4s 61 E2 62", {'s', WIDTH | LEFT, 4}, convert_string, str("a\xE2" "b"), "a\xC2\x80" "b ", 0, u"a\u0080b ", 0},
        {"%s E2 61 62", {'s'}, convert_string, str("\xE2" "ab"), "\xC2\x80" "ab", 0, u"\u0080ab", 0},
        // F0 9F 98 before the terminator: three malformed bytes.
        {"%5s F0 9F 98", {'s', WIDTH, 5}, convert_string, str("\xF0\x9F\x98"), "  \xC2\x80\xC2\x80\xC2\x80", 0,
         u"  \u0080\u0080\u0080", 0},
        {"%s ends C3", {'s'}, convert_string, str("ab\xC3"), "ab\xC2\x80", 0, u"ab\u0080", 0},
    };
    // clang-format on
    for (const Row& row : rows) check(row);
}

TEST(ConvertChar, Characters) {
    const Row rows[] = {
        {"%c 65", {'c'}, convert_char, num(65), "A", 0, u"A", 0},
        {"%c 0", {'c'}, convert_char, num(0), nul_byte(), 0, nul_unit(), 0},
        {"%c 0x141 (low 8 bits)", {'c'}, convert_char, num(0x141), "A", 0, u"A", 0},
        {"%c -191 (low 8 bits 0x41)", {'c'}, convert_char, num(-191), "A", 0, u"A", 0},
        {"%3c x", {'c', WIDTH, 3}, convert_char, num('x'), "  x", 0, u"  x", 0},
        {"%-3c x", {'c', WIDTH | LEFT, 3}, convert_char, num('x'), "x  ", 0, u"x  ", 0},
        {"%.0c 65", {'c', PREC, 0, 0}, convert_char, num(65), "A", 0, u"A", 0},
        {"%3.0c 65", {'c', PREC, 3, 0}, convert_char, num(65), "  A", 0, u"  A", 0},
        // A byte of 0x80 or more is a malformed byte, U+0080.
        {"%c 0xE9", {'c'}, convert_char, num(0xE9), "\xC2\x80", 0, u"\u0080", 0},
        {"%3c 0xE9", {'c', WIDTH, 3}, convert_char, num(0xE9), "  \xC2\x80", 0, u"  \u0080", 0},
        {"%-3c 0xE9", {'c', WIDTH | LEFT, 3}, convert_char, num(0xE9), "\xC2\x80  ", 0, u"\u0080  ", 0},
        {"%c 0x80", {'c'}, convert_char, num(0x80), "\xC2\x80", 0, u"\u0080", 0},
    };
    for (const Row& row : rows) check(row);
}

TEST(ConvertChar, SetsPrecisionToOneAndLeavesFlags) {
    Target t(false);
    EXPECT_EQ(t.run(Spec{'c', PREC | LEFT, 2, 0}, convert_char, 'z', SENTINEL), 0);
    EXPECT_EQ(t.state.precision, 1);
    EXPECT_EQ(t.state.flags, PREC | LEFT);
    EXPECT_EQ(t.state.width, 2);
    EXPECT_EQ(t.narrow(), "z ");
}

TEST(ConvertChar16, Characters) {
    const Row rows[] = {
        {"%C 65", {'C'}, convert_char16, num(65), "A", 0, u"A", 0},
        {"%C 0x800", {'C'}, convert_char16, num(0x800), "\xE0\xA0\x80", 0, u"\u0800", 0},
        {"%C 0xE9", {'C'}, convert_char16, num(0xE9), "\xC3\xA9", 0, u"\u00E9", 0},
        {"%C 0xFFFF", {'C'}, convert_char16, num(0xFFFF), "\xEF\xBF\xBF", 0, u"\uFFFF", 0},
        {"%C 0x10041 (low 16 bits)", {'C'}, convert_char16, num(0x10041), "A", 0, u"A", 0},
        {"%C 0", {'C'}, convert_char16, num(0), nul_byte(), 0, nul_unit(), 0},
        {"%.0C 65", {'C', PREC, 0, 0}, convert_char16, num(65), "", 0, u"", 0},
        {"%3.0C 65", {'C', PREC, 3, 0}, convert_char16, num(65), "   ", 0, u"   ", 0},
        {"%-3C 0x800", {'C', WIDTH | LEFT, 3}, convert_char16, num(0x800), "\xE0\xA0\x80  ", 0, u"\u0800  ", 0},
    };
    for (const Row& row : rows) check(row);
}

TEST(ConvertChar16, LeavesPrecision) {
    Target t(false);
    EXPECT_EQ(t.run(Spec{'C', PREC, 0, 0}, convert_char16, 'z', SENTINEL), 0);
    EXPECT_EQ(t.state.precision, 0);
    EXPECT_EQ(t.narrow(), "");
}

TEST(ConvertString16, Texts) {
    const Row rows[] = {
        {"%S AB", {'S'}, convert_string16, str16(u"AB"), "AB", 0, u"AB", 0},
        {"%S empty", {'S'}, convert_string16, str16(u""), "", 0, u"", 0},
        {"%.1S AB", {'S', PREC, 0, 1}, convert_string16, str16(u"AB"), "A", 0, u"A", 0},
        {"%.5S AB", {'S', PREC, 0, 5}, convert_string16, str16(u"AB"), "AB", 0, u"AB", 0},
        {"%4.1S AB", {'S', PREC, 4, 1}, convert_string16, str16(u"AB"), "   A", 0, u"   A", 0},
        {"%-4S e-acute euro",
         {'S', WIDTH | LEFT, 4},
         convert_string16,
         str16(u"\u00E9\u20AC"),
         "\xC3\xA9\xE2\x82\xAC  ",
         0,
         u"\u00E9\u20AC  ",
         0},
        // A surrogate pair becomes one four-byte sequence.
        {"%S surrogate pair",
         {'S'},
         convert_string16,
         str16(u"\xD83D\xDE00"),
         "\xF0\x9F\x98\x80",
         0,
         u"\xD83D\xDE00",
         0},
        {"%S 0x80", {'S'}, convert_string16, str16(u"\u0080"), "\xC2\x80", 0, u"\u0080", 0},
    };
    for (const Row& row : rows) check(row);
}

// With a precision, a text is read no further than the precision: these have
// no terminator within reach (the sanitizer build sees any read past them).
TEST(ConvertString, APrecisionBoundsTheRead) {
    const char bytes[3] = {'a', 'b', 'c'};
    const char16_t units[2] = {u'A', u'B'};
    const Row rows[] = {
        {"%.3s abc", {'s', PREC, 0, 3}, convert_string, Arg{Arg::TEXT, 0, bytes, nullptr}, "abc", 0, u"abc", 0},
        {"%.2S AB", {'S', PREC, 0, 2}, convert_string16, str16(units), "AB", 0, u"AB", 0},
    };
    for (const Row& row : rows) check(row);
}

TEST(ConvertPercent, WritesTheVerbAsAField) {
    const Row rows[] = {
        {"%%", {'%'}, convert_percent, none(), "%", 0, u"%", 0},
        {"%5%", {'%', WIDTH, 5}, convert_percent, none(), "    %", 0, u"    %", 0},
        {"%-3%", {'%', WIDTH | LEFT, 3}, convert_percent, none(), "%  ", 0, u"%  ", 0},
        {"%.0%", {'%', PREC, 0, 0}, convert_percent, none(), "%", 0, u"%", 0},
        // Installed under another code, it writes that character.
        {"e-acute", {0xE9}, convert_percent, none(), "\xC3\xA9", 0, u"\u00E9", 0},
        {"U+20AC", {0x20AC}, convert_percent, none(), "\xE2\x82\xAC", 0, u"\u20AC", 0},
    };
    for (const Row& row : rows) check(row);
}

TEST(ConvertBadVerb, WritesAMarker) {
    const Row rows[] = {
        {"%q", {'q'}, convert_bad_verb, none(), "%q%", 0, u"%q%", 0},
        {"%5q", {'q', WIDTH, 5}, convert_bad_verb, none(), "  %q%", 0, u"  %q%", 0},
        {"%-5q", {'q', WIDTH | LEFT, 5}, convert_bad_verb, none(), "%q%  ", 0, u"%q%  ", 0},
        {"%.1q", {'q', PREC, 0, 1}, convert_bad_verb, none(), "%q%", 0, u"%q%", 0},
        {"%.0q", {'q', PREC, 0, 0}, convert_bad_verb, none(), "%q%", 0, u"%q%", 0},
        // Beyond ASCII the verb's own character, whole; 0x80 is also what
        // a malformed byte after "%" reads as.
        {"verb 0x141", {0x141}, convert_bad_verb, none(), "%\xC5\x81%", 0, u"%\u0141%", 0},
        {"verb 0x80", {0x80}, convert_bad_verb, none(), "%\xC2\x80%", 0, u"%\u0080%", 0},
        {"verb 0xE9", {0xE9}, convert_bad_verb, none(), "%\xC3\xA9%", 0, u"%\u00E9%", 0},
        {"verb 0x800", {0x800}, convert_bad_verb, none(), "%\xE0\xA0\x80%", 0, u"%\u0800%", 0},
        {"verb 0x4E2D", {0x4E2D}, convert_bad_verb, none(), "%\xE4\xB8\xAD%", 0, u"%\u4E2D%", 0},
        {"verb 0x1F600", {0x1F600}, convert_bad_verb, none(), "%\xF0\x9F\x98\x80%", 0, u"%\U0001F600%", 0},
        {"%5 verb 0xFF", {0xFF, WIDTH, 5}, convert_bad_verb, none(), "  %\xC3\xBF%", 0, u"  %\u00FF%", 0},
    };
    for (const Row& row : rows) check(row);
}

TEST(ConvertBadVerb, SetsPrecisionToThreeAndHidesAFullBuffer) {
    Target t(false, 2);
    EXPECT_EQ(t.run(Spec{'q'}, convert_bad_verb, SENTINEL), 0);
    EXPECT_EQ(t.state.precision, 3);
    EXPECT_EQ(t.state.emitted, 2);
    EXPECT_EQ(t.state.limit, t.state.out);
    EXPECT_EQ(t.narrow(), "%q");
}

// ---- "n" ----

// A target for "n" between guard bytes, to see how many bytes were stored.
struct alignas(8) CountTarget {
    // Puts the target, 4 bytes into bytes, on the 8-byte boundary that a
    // 64-bit store needs.
    unsigned char align[4];
    unsigned char bytes[16];
    CountTarget() { std::memset(bytes, 0xEE, sizeof bytes); }
    void* at() { return bytes + 4; }
    // The bytes stored at the target, checked against the guards.
    int32_t stored_width() const {
        int32_t width = 0;
        for (int32_t i = 0; i < 4; ++i) EXPECT_EQ(bytes[i], 0xEE) << "stored before the target";
        while (width < 12 && bytes[4 + width] != 0xEE) ++width;
        for (int32_t i = 4 + width; i < 16; ++i) EXPECT_EQ(bytes[i], 0xEE) << "stored beyond the target";
        return width;
    }
};

TEST(ConvertCount, StoresEmittedAfterText) {
    Target t(false);
    EXPECT_EQ(t.run(Spec{'s'}, convert_string, "ab", SENTINEL), 0);
    int32_t stored = -1;
    EXPECT_EQ(t.run(Spec{'n'}, convert_count, &stored, SENTINEL), 0);
    EXPECT_EQ(stored, 2);
    EXPECT_EQ(t.narrow(), "ab");
}

TEST(ConvertCount, CountsUnitsOfTheOutputForm) {
    for (bool wide : {false, true}) {
        Target t(wide);
        EXPECT_EQ(t.run(Spec{'s'}, convert_string, "\xC3\xA9", SENTINEL), 0);
        int32_t stored = -1;
        EXPECT_EQ(t.run(Spec{'n', WIDTH, 9}, convert_count, &stored, SENTINEL), 0);
        EXPECT_EQ(stored, wide ? 1 : 2);
        // No output, whatever the width.
        EXPECT_EQ(t.state.emitted, wide ? 1 : 2);
    }
}

TEST(ConvertCount, TheLengthFlagsChooseTheWidth) {
    struct Case {
        const char* what;
        uint32_t flags;
        int32_t bytes;
    } const cases[] = {
        {"%n", 0, 4},
        {"%hn", FormatFlag::SHORT, 2},
        {"%hhn", FormatFlag::SHORT | FormatFlag::BYTE, 1},
        {"%ln", FormatFlag::LONG, 4},
        {"%lln", FormatFlag::LONG | FormatFlag::LONG_LONG, 8},
        {"%hln", FormatFlag::SHORT | FormatFlag::LONG, 4},
        {"%hlln", FormatFlag::SHORT | FormatFlag::LONG | FormatFlag::LONG_LONG, 8},
        {"%un", FormatFlag::UNSIGNED, 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Target t(false);
        t.state.emitted = 0x01020304;
        CountTarget target;
        EXPECT_EQ(t.run(Spec{'n', c.flags}, convert_count, target.at(), SENTINEL), 0);
        EXPECT_EQ(target.stored_width(), c.bytes);
        int64_t value = 0;
        switch (c.bytes) {
            case 1: {
                int8_t v;
                std::memcpy(&v, target.at(), 1);
                value = v;
                break;
            }
            case 2: {
                int16_t v;
                std::memcpy(&v, target.at(), 2);
                value = v;
                break;
            }
            case 4: {
                int32_t v;
                std::memcpy(&v, target.at(), 4);
                value = v;
                break;
            }
            default: std::memcpy(&value, target.at(), 8);
        }
        const int64_t want = c.bytes == 1 ? 0x04 : c.bytes == 2 ? 0x0304 : 0x01020304;
        EXPECT_EQ(value, want);
    }
}

TEST(ConvertCount, NarrowsAndSignExtends) {
    Target t(false, 400);
    ASSERT_EQ(pad_narrow(&t.state, 300), 0);
    signed char byte = 0;
    EXPECT_EQ(t.run(Spec{'n', FormatFlag::SHORT | FormatFlag::BYTE}, convert_count, &byte, SENTINEL), 0);
    EXPECT_EQ(byte, 44);
    long long wide = 0;
    EXPECT_EQ(t.run(Spec{'n', FormatFlag::LONG | FormatFlag::LONG_LONG}, convert_count, &wide, SENTINEL), 0);
    EXPECT_EQ(wide, 300);
    short half = 0;
    t.state.emitted = 70000;
    EXPECT_EQ(t.run(Spec{'n', FormatFlag::SHORT}, convert_count, &half, SENTINEL), 0);
    EXPECT_EQ(half, 70000 - 65536);
    // The 64-bit form sign-extends the count.
    t.state.emitted = -2;
    wide = 0;
    EXPECT_EQ(t.run(Spec{'n', FormatFlag::LONG | FormatFlag::LONG_LONG}, convert_count, &wide, SENTINEL), 0);
    EXPECT_EQ(wide, -2);
    t.state.emitted = INT32_MAX;
    EXPECT_EQ(t.run(Spec{'n', FormatFlag::LONG | FormatFlag::LONG_LONG}, convert_count, &wide, SENTINEL), 0);
    EXPECT_EQ(wide, INT32_MAX);
}

TEST(ConvertCount, ANullPointerStoresNothing) {
    for (uint32_t flags : {0u, uint32_t{FormatFlag::SHORT}, uint32_t{FormatFlag::SHORT | FormatFlag::BYTE},
                           uint32_t{FormatFlag::LONG}, uint32_t{FormatFlag::LONG | FormatFlag::LONG_LONG}}) {
        Target t(false);
        t.state.emitted = 7;
        // The pointer is still taken: the sentinel follows it.
        EXPECT_EQ(t.run(Spec{'n', flags}, convert_count, static_cast<void*>(nullptr), SENTINEL), 0) << flags;
        EXPECT_EQ(t.state.emitted, 7);
    }
}

// ---- Flags ----

TEST(ConvertFlag, EachCharacterSetsItsBit) {
    struct Case {
        uint32_t verb;
        uint32_t bits;
    } const cases[] = {
        {' ', FormatFlag::SPACE_SIGN},
        {'#', FormatFlag::ALTERNATE},
        {'+', FormatFlag::PLUS_SIGN},
        {',', FormatFlag::GROUP_DIGITS},
        {'-', FormatFlag::LEFT_ALIGN},
        {'h', FormatFlag::SHORT},
        {'l', FormatFlag::LONG},
        {'u', FormatFlag::UNSIGNED},
        {'q', 0},
        {'0', 0},
        {0x20AC, 0},
        // A code whose low 8 bits are a flag character is not that flag.
        {0x168, 0},
    };
    for (const Case& c : cases) {
        Target t(false);
        EXPECT_EQ(t.run(Spec{c.verb, FormatFlag::ZERO_PAD, 4, 2}, convert_flag, SENTINEL), 1) << c.verb;
        EXPECT_EQ(t.state.flags, FormatFlag::ZERO_PAD | c.bits) << c.verb;
        EXPECT_EQ(t.state.width, 4);
        EXPECT_EQ(t.state.precision, 2);
        EXPECT_EQ(t.narrow(), "");
    }
}

uint32_t flags_after(const char* characters) {
    Target t(false);
    t.state.flags = 0;
    for (const char* c = characters; *c != 0; ++c) {
        t.state.verb = static_cast<unsigned char>(*c);
        EXPECT_EQ(convert_flag(&t.state), 1);
    }
    return t.state.flags;
}

TEST(ConvertFlag, LengthModifiersAccumulate) {
    EXPECT_EQ(flags_after("h"), FormatFlag::SHORT);
    EXPECT_EQ(flags_after("hh"), FormatFlag::SHORT | FormatFlag::BYTE);
    EXPECT_EQ(flags_after("hhh"), FormatFlag::SHORT | FormatFlag::BYTE);
    EXPECT_EQ(flags_after("l"), FormatFlag::LONG);
    EXPECT_EQ(flags_after("ll"), FormatFlag::LONG | FormatFlag::LONG_LONG);
    EXPECT_EQ(flags_after("hl"), FormatFlag::SHORT | FormatFlag::LONG);
    EXPECT_EQ(flags_after("lh"), FormatFlag::SHORT | FormatFlag::LONG);
    EXPECT_EQ(flags_after("-+- #,u"), FormatFlag::LEFT_ALIGN | FormatFlag::PLUS_SIGN | FormatFlag::SPACE_SIGN |
                                          FormatFlag::ALTERNATE | FormatFlag::GROUP_DIGITS | FormatFlag::UNSIGNED);
}

// ---- The writers directly ----

TEST(Pad, NothingForZeroOrLess) {
    for (bool wide : {false, true}) {
        Target t(wide);
        EXPECT_EQ(pad_narrow(&t.state, 0), 0);
        EXPECT_EQ(pad_narrow(&t.state, -3), 0);
        EXPECT_EQ(pad_wide(&t.state, 0), 0);
        EXPECT_EQ(pad_wide(&t.state, INT32_MIN), 0);
        EXPECT_EQ(t.state.emitted, 0);
        EXPECT_EQ(t.written_bytes(), 0u);
    }
}

TEST(Pad, SpacesInEachForm) {
    Target narrow(false);
    EXPECT_EQ(pad_narrow(&narrow.state, 3), 0);
    EXPECT_EQ(narrow.state.emitted, 3);
    EXPECT_EQ(narrow.narrow(), "   ");
    Target wide(true);
    EXPECT_EQ(pad_wide(&wide.state, 3), 0);
    EXPECT_EQ(wide.state.emitted, 3);
    EXPECT_EQ(wide.wide(), u"   ");
}

TEST(PutUtf8Field, WritesCountCharactersOfTheLengthAndFillsForThoseWritten) {
    struct Case {
        const char* what;
        Spec spec;
        const char* text;
        int32_t count, length;
        std::string narrow;
        std::u16string wide;
    } const cases[] = {
        {"2 of 6", {'s', WIDTH, 4}, "abcdef", 2, 6, "  ab", u"  ab"},
        // More than the text holds (a 16-bit count of an emoji): what is there.
        {"6 for 3", {'s', WIDTH, 8}, "\xF0\x9F\x98\x80xy", 6, 6, "     \xF0\x9F\x98\x80xy", u"     \U0001F600xy"},
        {"a character the length cuts", {'s', WIDTH | LEFT, 3}, "a\xC3\xA9", 2, 2, "a  ", u"a  "},
        {"a terminator within the length", {'s', WIDTH, 3}, "a", 2, 2, {" a\0", 3}, {u" a\0", 3}},
    };
    for (const Case& c : cases) {
        for (bool wide : {false, true}) {
            Target t(wide);
            t.set(c.spec);
            EXPECT_EQ(put_utf8_field(&t.state, c.text, c.count, c.length), 0) << c.what;
            if (wide) {
                EXPECT_EQ(t.wide(), c.wide) << c.what;
            } else {
                EXPECT_EQ(t.narrow(), c.narrow) << c.what;
            }
        }
    }
}

TEST(PutUtf8Field, AWholeSequenceAtTheEndOfTheLengthIsWritten) {
    // The lead byte sits two bytes before the end and its sequence is
    // complete: it is decoded.
    Target t(false);
    t.set(Spec{'s'});
    EXPECT_EQ(put_utf8_field(&t.state, "a\xC3\xA9", 2, 3), 0);
    EXPECT_EQ(t.narrow(), "a\xC3\xA9");
}

TEST(PutChar16Field, CopiesEveryUnitZeroIncluded) {
    const Char16 units[] = {0x41, 0, 0xD800, 0x42};
    Target wide(true);
    wide.set(Spec{'S'});
    EXPECT_EQ(put_char16_field(&wide.state, units, 4), 0);
    EXPECT_EQ(wide.wide(), std::u16string(u"A\0\xD800"
                                          "B",
                                          4));
    Target narrow(false);
    narrow.set(Spec{'S'});
    EXPECT_EQ(put_char16_field(&narrow.state, units, 4), 0);
    EXPECT_EQ(narrow.narrow(), std::string("A\0\xED\xA0\x80"
                                           "B",
                                           6));
    EXPECT_EQ(narrow.state.emitted, 6);
}

TEST(Fields, ANegativePrecisionWritesNoCharacter) {
    // A precision that wrapped negative (a "*" argument of the most negative
    // value) caps every text to nothing; the width still applies, as for a
    // precision of 0, and is not stretched by the negative count.
    const Row rows[] = {
        {"%3.*s abc", {'s', PREC, 3, INT32_MIN}, convert_string, str("abc"), "   ", 0, u"   ", 0},
        {"%3.*S abc", {'S', PREC, 3, INT32_MIN}, convert_string16, str16(u"abc"), "   ", 0, u"   ", 0},
        {"%.*s null", {'s', PREC, 0, INT32_MIN}, convert_string, str(nullptr), "", 0, u"", 0},
        {"%.*C", {'C', PREC, 0, INT32_MIN}, convert_char16, num('x'), "", 0, u"", 0},
    };
    for (const Row& row : rows) check(row);
}

TEST(Fields, ANegativeWidthWritesNoFill) {
    const Row row = {"width INT32_MIN", {'s', WIDTH | LEFT, INT32_MIN}, convert_string, str("ab"), "ab", 0, u"ab", 0};
    check(row);
}

// ---- A full buffer ----

TEST(Truncation, AThreeByteCharacterDoesNotFitInTwoBytes) {
    // A buffer of 4 bytes: 3 of room and the terminator.
    Target t(false, 3);
    EXPECT_EQ(t.run(Spec{'s'}, convert_string, "ab\xE2\x82\xAC", SENTINEL), -1);
    EXPECT_EQ(t.state.emitted, 2);
    EXPECT_EQ(t.state.limit, t.state.out);
    EXPECT_EQ(t.narrow(), "ab");
    EXPECT_EQ(t.storage()[2], '\0');
}

TEST(Truncation, CharactersAreNeverSplit) {
    const Row rows[] = {
        {"%s a e-acute in 2", {'s'}, convert_string, str("a\xC3\xA9"), "a", -1, u"a\u00E9", 0},
        {"%s a euro in 2", {'s'}, convert_string, str("a\xE2\x82\xAC"), "a", -1, u"a\u20AC", 0},
        {"%S a U+0800 in 2", {'S'}, convert_string16, str16(u"a\u0800"), "a", -1, u"a\u0800", 0},
        {"%S e-acute e-acute in 2",
         {'S'},
         convert_string16,
         str16(u"\u00E9\u00E9"),
         "\xC3\xA9",
         -1,
         u"\u00E9\u00E9",
         0},
        {"%C U+0800 in 2", {'C'}, convert_char16, num(0x800), "", -1, u"\u0800", 0},
        {"%s abc in 2", {'s'}, convert_string, str("abc"), "ab", -1, u"ab", -1},
    };
    for (const Row& row : rows) check(row, 2);
}

TEST(Truncation, TheFillStopsAtTheLimitToo) {
    const Row rows[] = {
        // A buffer of 3 bytes: two spaces are written, the third does not fit.
        {"%5s x in 2", {'s', WIDTH, 5}, convert_string, str("x"), "  ", -1, u"  ", -1},
        {"%-4s ab in 2", {'s', WIDTH | LEFT, 4}, convert_string, str("ab"), "ab", -1, u"ab", -1},
        {"%-3s a in 2", {'s', WIDTH | LEFT, 3}, convert_string, str("a"), "a ", -1, u"a ", -1},
        {"%5% in 2", {'%', WIDTH, 5}, convert_percent, none(), "  ", -1, u"  ", -1},
        {"%-3c z in 2", {'c', WIDTH | LEFT, 3}, convert_char, num('z'), "z ", -1, u"z ", -1},
        {"%3C U+0800 in 2", {'C', WIDTH, 3}, convert_char16, num(0x800), "  ", -1, u"  ", -1},
    };
    for (const Row& row : rows) check(row, 2);
}

TEST(Truncation, AnExactFitSucceedsAndTheNextUnitFails) {
    for (bool wide : {false, true}) {
        Target t(wide, wide ? 1 : 3);
        EXPECT_EQ(t.run(Spec{'s'}, convert_string, "\xE2\x82\xAC", SENTINEL), 0);
        EXPECT_EQ(t.state.out, t.state.limit);
        EXPECT_EQ(t.run(Spec{'c'}, convert_char, 'x', SENTINEL), -1);
        EXPECT_EQ(t.run(Spec{'%'}, convert_percent, SENTINEL), -1);
        EXPECT_EQ(t.run(Spec{'s'}, convert_string, "", SENTINEL), 0);  // nothing to write
        EXPECT_EQ(t.state.emitted, wide ? 1 : 3);
        if (wide) {
            EXPECT_EQ(t.wide(), u"\u20AC");
        } else {
            EXPECT_EQ(t.narrow(), "\xE2\x82\xAC");
        }
    }
}

TEST(Truncation, NarrowRoomIsMeasuredExactlyNearTheEnd) {
    // With 2 bytes left a two-byte character still fits.
    Target t(false, 4);
    EXPECT_EQ(t.run(Spec{'s'}, convert_string, "ab\xC3\xA9", SENTINEL), 0);
    EXPECT_EQ(t.narrow(), "ab\xC3\xA9");
    Target u(false, 4);
    EXPECT_EQ(u.run(Spec{'S'}, convert_string16, w16(u"ab\u00E9"), SENTINEL), 0);
    EXPECT_EQ(u.narrow(), "ab\xC3\xA9");
    Target v(false, 3);
    EXPECT_EQ(v.run(Spec{'s'}, convert_string,
                    "\x80"
                    "a",
                    SENTINEL),
              0);
    EXPECT_EQ(v.narrow(),
              "\xC2\x80"
              "a");
}

}  // namespace
