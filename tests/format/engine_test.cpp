#include <climits>
#include <cstdarg>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "format/detail/verb_lookup.h"  // the installed rows
#include "tests/format/harness.h"

using namespace bracket;

namespace {

using F = FormatFlag;
using format_test::CANARY;
using format_test::CANARY_BYTES;
using format_test::expect_untouched_after;
using format_test::format_guarded;
using format_test::Formatted;

// What the recording verb saw of its spec.
FormatState seen;
int seen_calls = 0;

int32_t record_spec(FormatState* state) {
    seen.verb = state->verb;
    seen.width = state->width;
    seen.precision = state->precision;
    seen.flags = state->flags;
    ++seen_calls;
    return 0;
}

int32_t fail_always(FormatState*) { return -1; }

// Installed under codes no built-in uses; the same handler in every test, so
// the order in which tests run does not matter.
void install_test_verbs() {
    ASSERT_EQ(install_verb('k', record_spec), 0);
    ASSERT_EQ(install_verb(0xE9, record_spec), 0);
    ASSERT_EQ(install_verb('j', fail_always), 0);
}

struct SpecRow {
    const char* format;
    int star1, star2;
    int32_t width, precision;
    uint32_t flags;
};

TEST(ParseSpec, FlagsNumbersDotAndStar) {
    install_test_verbs();
    const uint32_t W = F::WIDTH_SET, P = F::PRECISION_SET;
    const SpecRow rows[] = {
        {"%5.3k", 0, 0, 5, 3, W | P},
        {"%.3k", 0, 0, 0, 3, W | P},
        {"%.k", 0, 0, 0, 0, W | P},
        {"%05k", 0, 0, 5, 0, W | F::ZERO_PAD},
        {"%50k", 0, 0, 50, 0, W},
        {"%.05k", 0, 0, 0, 5, W | P},
        {"%-05k", 0, 0, 5, 0, W | F::LEFT_ALIGN | F::ZERO_PAD},
        {"%00k", 0, 0, 0, 0, F::ZERO_PAD},
        {"%5 3k", 0, 0, 5, 3, W | P | F::SPACE_SIGN},
        {"%1.2.3k", 0, 0, 1, 3, W | P},
        {"%4294967301k", 0, 0, 5, 0, W},
        {"%*k", -7, 0, 7, 0, W | F::LEFT_ALIGN},
        {"%.*k", -2, 0, 0, 2, W | P | F::LEFT_ALIGN},
        {"%3*k", 4, 0, 3, 4, W | P},
        {"%*.*k", 3, -4, 3, 4, W | P | F::LEFT_ALIGN},
        {"%*k", INT_MIN, 0, INT_MIN, 0, W | F::LEFT_ALIGN},
        {"%uk", 0, 0, 0, 0, F::UNSIGNED},
    };
    for (const SpecRow& row : rows) {
        seen_calls = 0;
        EXPECT_EQ(FORMAT_TEXT(row.format, row.star1, row.star2), "") << row.format;
        EXPECT_EQ(seen_calls, 1) << row.format;
        EXPECT_EQ(seen.verb, static_cast<uint32_t>('k')) << row.format;
        EXPECT_EQ(seen.width, row.width) << row.format;
        EXPECT_EQ(seen.precision, row.precision) << row.format;
        EXPECT_EQ(seen.flags, row.flags) << row.format;
    }
}

TEST(ParseSpec, FlagsDoNotCarryOver) {
    install_test_verbs();
    seen_calls = 0;
    EXPECT_EQ(FORMAT_TEXT("%-5.2k%k"), "");
    EXPECT_EQ(seen_calls, 2);
    EXPECT_EQ(seen.flags, 0u);
    EXPECT_EQ(seen.width, 0);
    EXPECT_EQ(seen.precision, 0);
}

TEST(ParseSpec, MultiByteVerbIsLookedUpByItsCode) {
    install_test_verbs();
    seen_calls = 0;
    EXPECT_EQ(FORMAT_TEXT("a%3\xC3\xA9z"), "az");
    EXPECT_EQ(seen_calls, 1);
    EXPECT_EQ(seen.verb, 0xE9u);
    EXPECT_EQ(seen.width, 3);
}

struct TextRow {
    int32_t size;
    const char* format;
    int32_t result;
    const char* expected;
};

TEST(FormatBuffer, LiteralTextAndTruncation) {
    const TextRow rows[] = {
        {16, "abc", 3, "abc"},
        {4, "abcdef", 3, "abc"},
        {1, "abc", 0, ""},
        {16,
         "a\xFF"
         "b\xE2\x41",
         5,
         "a\xFF"
         "b\xE2\x41"},  // malformed bytes pass unchanged
        {16, "x\xE2\x82\xACy", 5, "x\xE2\x82\xACy"},
        {4, "ab\xE2\x82\xACz", 2, "ab"},  // two bytes of room: the character is not cut
        {5, "ab\xE2\x82\xACz", 2, "ab"},
        {16, "abc%", 3, "abc"},
        {16, "%", 0, ""},
        {16, "ab%5", 2, "ab"},
        {16, "ab%u", 2, "ab"},
        {16, "ab%jcd", 2, "ab"},  // a failing handler ends the run
        {16, "5%% %q", 6, "5% %q%"},
        {16, nullptr, 0, ""},  // no format is the empty one
    };
    install_test_verbs();
    for (const TextRow& row : rows) {
        Formatted f = format_guarded(row.size, row.format);
        EXPECT_EQ(f.result, row.result) << row.format << " in " << row.size;
        EXPECT_EQ(f.text, row.expected) << row.format << " in " << row.size;
    }
}

TEST(FormatBuffer, SizeZeroOrNegativeWritesNothing) {
    EXPECT_EQ(format_guarded(0, "abc").result, -1);
    EXPECT_EQ(format_guarded(-1, "abc").result, -1);
    EXPECT_EQ(format_guarded(INT32_MIN, "abc").result, -1);
}

TEST(FormatBuffer, ArgumentsAreTakenInOrder) {
    EXPECT_EQ(FORMAT_TEXT("%d-%s-%c-%*d", 1, "two", '3', 3, 4), "1-two-3-  4");
}

// Negative widths and precisions: the most negative 32-bit value from "*"
// (which cannot negate it), and digits of 2^31 or more, which wrap. Such a
// width asks for no fill, and such a precision for no characters; the field
// is then the width wide, never wider by the wrapped amount.
struct EdgeRow {
    const char* format;
    int stars;         // each "*" takes INT_MIN
    const char* text;  // the argument after the stars: this text, or the int value
    int value;
    const char* expected;
};

Formatted format_edge(const EdgeRow& row) {
    const int m = INT_MIN;
    if (row.text != nullptr) {
        if (row.stars == 0) return format_guarded(64, row.format, row.text);
        if (row.stars == 1) return format_guarded(64, row.format, m, row.text);
        return format_guarded(64, row.format, m, m, row.text);
    }
    if (row.stars == 0) return format_guarded(64, row.format, row.value);
    if (row.stars == 1) return format_guarded(64, row.format, m, row.value);
    return format_guarded(64, row.format, m, m, row.value);
}

TEST(FormatBuffer, MostNegativeWidthsAndPrecisions) {
    // clang-format off
    const EdgeRow rows[] = {
        {"%*s|", 1, "ab", 0, "ab|"},
        {"%2147483648s|", 0, "ab", 0, "ab|"},
        {"%*c|", 1, nullptr, 'x', "x|"},
        {"%*C|", 1, nullptr, 'x', "x|"},
        {"%*%|", 1, nullptr, 0, "%|"},
        {"%*d|", 1, nullptr, 42, "42|"},
        {"%*q|", 1, nullptr, 0, "%q%|"},
        {"%.*s|", 1, "ab", 0, "|"},
        {"%5.*s|", 1, "ab", 0, "     |"},
        {"%5.2147483648s|", 0, "ab", 0, "     |"},
        {"%3.4294967295s|", 0, "ab", 0, "   |"},     // precision -1: not four spaces
        {"%.4294967295s|", 0, "ab", 0, "|"},         // not one space
        {"%-3.4294967295s|", 0, "ab", 0, "   |"},
        {"%2.2147483649C|", 0, nullptr, 'x', "  |"},  // -2147483647, through put_char16_field
        {"%.4294967295d|", 0, nullptr, 42, "42|"},  // the integer conversion ignores it
        {"%*.*s|", 2, "ab", 0, "|"},
        {"%3.*C|", 1, nullptr, 'x', "   |"},
    };
    // clang-format on
    for (const EdgeRow& row : rows) EXPECT_EQ(format_edge(row).text, row.expected) << row.format;
}

char* range_v(char* buffer, char* end, const char* format, ...) {
    va_list args;
    va_start(args, format);
    char* result = format_range_args(buffer, end, format, args);
    va_end(args);
    return result;
}

TEST(FormatRange, EmptyAndOneByteRanges) {
    std::vector<char> bytes(CANARY_BYTES, CANARY);
    EXPECT_EQ(range_v(bytes.data(), bytes.data(), "abc"), nullptr);
    expect_untouched_after(bytes, 0);
    EXPECT_EQ(range_v(bytes.data(), bytes.data() + 1, "abc"), bytes.data());
    EXPECT_EQ(bytes[0], '\0');
    expect_untouched_after(bytes, 1);
    EXPECT_EQ(range_v(bytes.data(), bytes.data() + 2, nullptr), bytes.data());
    EXPECT_EQ(bytes[0], '\0');
    EXPECT_EQ(range_v(bytes.data(), bytes.data() + 4, "%d!", 42), bytes.data() + 3);
    EXPECT_STREQ(bytes.data(), "42!");
    expect_untouched_after(bytes, 4);
}

// Wide output is only reachable through a prepared state.
struct WideRun {
    int32_t result;
    std::vector<Char16> units;
    int32_t emitted;
};

WideRun run_wide(int32_t room, const char* format, ...) {
    const Char16 canary = 0xA5A5;
    std::vector<Char16> buffer(static_cast<size_t>(room) + 4, canary);
    FormatState state{};
    state.wide = 1;
    state.buffer_start = state.out = reinterpret_cast<char*>(buffer.data());
    state.limit = state.out + room * 2;
    va_list args;
    va_start(args, format);
    va_copy(state.args, args);
    int32_t result = format_run(&state, format);
    va_end(state.args);
    va_end(args);
    size_t written = static_cast<size_t>(state.out - state.buffer_start) / 2;
    EXPECT_EQ(static_cast<int32_t>(written), state.emitted);
    for (size_t i = written; i < buffer.size(); ++i) EXPECT_EQ(buffer[i], canary) << "unit " << i;
    return {result, std::vector<Char16>(buffer.begin(), buffer.begin() + static_cast<long>(written)), state.emitted};
}

TEST(FormatRun, WideOutput) {
    WideRun r = run_wide(16, "a\xFF\xC3\xA9%db", 42);
    EXPECT_EQ(r.result, 6);
    EXPECT_EQ(r.units, (std::vector<Char16>{'a', 0x80, 0xE9, '4', '2', 'b'}));

    r = run_wide(2, "abc");
    EXPECT_EQ(r.result, -1);
    EXPECT_EQ(r.units, (std::vector<Char16>{'a', 'b'}));

    r = run_wide(16, "ab%u");
    EXPECT_EQ(r.result, -1);
    EXPECT_EQ(r.emitted, 2);

    EXPECT_EQ(run_wide(16, nullptr).result, 0);
}

TEST(FormatRun, ResultCountsOnlyThisRunsUnits) {
    char buffer[16 + CANARY_BYTES];
    memset(buffer, CANARY, sizeof buffer);
    FormatState state{};
    state.out = state.buffer_start = buffer;
    state.limit = buffer + 16;
    state.emitted = 100;
    EXPECT_EQ(format_run(&state, "\xC3\xA9z"), 3);
    EXPECT_EQ(state.emitted, 103);
    EXPECT_EQ(format_run(&state, "0123456789abcdef"), -1);
    EXPECT_EQ(state.out, state.limit);  // exhausted: the whole room is used
    EXPECT_EQ(std::string(buffer, 16), "\xC3\xA9z0123456789abc");
    for (int i = 16; i < 16 + CANARY_BYTES; ++i) EXPECT_EQ(buffer[i], CANARY);
}

}  // namespace

namespace {
// Every row of the built-in table is what a lookup finds for its character,
// and no other ASCII character has a handler unless a test installed one.
TEST(BuiltinVerbs, EachRowIsFoundAndNothingElse) {
    bool built_in[128] = {};
    int rows = 0;
    for (; builtin_verbs[rows].code != 0; ++rows) {
        const VerbEntry& row = builtin_verbs[rows];
        EXPECT_NE(row.handler, nullptr) << static_cast<char>(row.code);
        EXPECT_EQ(find_verb_handler(static_cast<Char16>(row.code)), row.handler) << static_cast<char>(row.code);
        if (row.code < 128) built_in[row.code] = true;
    }
    EXPECT_EQ(rows, 21);
    EXPECT_EQ(builtin_verbs[rows].handler, nullptr);
    for (int32_t row = 0; row < installed_verb_count; ++row) {
        if (installed_verbs[row].code < 128) built_in[installed_verbs[row].code] = true;
    }
    for (uint32_t code = 1; code < 128; ++code) {
        if (!built_in[code]) {
            EXPECT_EQ(find_verb_handler(static_cast<Char16>(code)), convert_bad_verb) << code;
        }
    }
}
}  // namespace
