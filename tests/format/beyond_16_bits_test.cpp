// Characters beyond U+FFFF through the field writers, in narrow and in wide
// output: a four-byte sequence or a surrogate pair is one character, comes
// out whole (unchanged, or as the other form) and is never split, not by the
// end of the buffer, a precision or a hook's room.
#include <gtest/gtest.h>

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

#define EMOJI "\xF0\x9F\x98\x80"  // U+1F600
#define U2000B "\xF0\xA0\x80\x8B"
#define M "\xC2\x80"  // what a malformed byte comes out as

// One text through "s" (text) or "S" (text16), in both output forms.
struct Row {
    const char* what;
    Spec spec;
    const char* text;
    const char16_t* text16;
    std::string narrow;
    int32_t narrow_result;
    std::u16string wide;
    int32_t wide_result;
};

void check(const Row& row, int32_t room_units = 64) {
    SCOPED_TRACE(row.what);
    for (bool wide : {false, true}) {
        Target t(wide, room_units);
        const int32_t result = row.text16 != nullptr ? t.run(row.spec, convert_string16, w16(row.text16), SENTINEL)
                                                     : t.run(row.spec, convert_string, row.text, SENTINEL);
        if (wide) {
            EXPECT_EQ(result, row.wide_result) << "wide";
            EXPECT_EQ(t.wide(), row.wide);
            EXPECT_EQ(t.state.emitted, static_cast<int32_t>(row.wide.size()));  // a pair adds 2
        } else {
            EXPECT_EQ(result, row.narrow_result) << "narrow";
            EXPECT_EQ(t.narrow(), row.narrow);
            EXPECT_EQ(t.state.emitted, static_cast<int32_t>(row.narrow.size()));
        }
    }
}

TEST(BeyondSixteenBits, OneCharacterWholeInBothForms) {
    // clang-format off
    const Row rows[] = {
        {"%-6s emoji", {'s', WIDTH | LEFT, 6}, EMOJI, nullptr, EMOJI "     ", 0, u"\U0001F600     ", 0},
        {"%3s a U+2000B b", {'s', WIDTH, 3}, "a" U2000B "b", nullptr, "a" U2000B "b", 0, u"a\U0002000Bb", 0},
        {"%4s U+10000 U+10FFFF", {'s', WIDTH, 4}, "\xF0\x90\x80\x80\xF4\x8F\xBF\xBF", nullptr,
         "  \xF0\x90\x80\x80\xF4\x8F\xBF\xBF", 0, u"  \U00010000\U0010FFFF", 0},
        {"%.4s emoji x", {'s', PREC, 0, 4}, EMOJI "x", nullptr, EMOJI, 0, u"\U0001F600", 0},
        {"%S pair", {'S'}, nullptr, u"\U0001F600", EMOJI, 0, u"\U0001F600", 0},
        {"%-3S pair", {'S', WIDTH | LEFT, 3}, nullptr, u"\U0001F600", EMOJI "  ", 0, u"\U0001F600  ", 0},
        {"%4S a pair b", {'S', WIDTH, 4}, nullptr, u"a\U0002000Bb", " a" U2000B "b", 0, u" a\U0002000Bb", 0},
        // Surrogates out of pairs are encoded each by itself, as always.
        {"%S lone high", {'S'}, nullptr, u"\xD83D" "A", "\xED\xA0\xBD" "A", 0, u"\xD83D" "A", 0},
        {"%S low then high", {'S'}, nullptr, u"\xDE00\xD83D", "\xED\xB8\x80\xED\xA0\xBD", 0, u"\xDE00\xD83D", 0},
        {"%S high high low", {'S'}, nullptr, u"\xD83D\xD83D\xDE00", "\xED\xA0\xBD" EMOJI, 0,
         u"\xD83D\xD83D\xDE00", 0},
    };
    // clang-format on
    for (const Row& row : rows) check(row);
}

TEST(BeyondSixteenBits, MalformedBytesAroundThemStayMalformed) {
    // clang-format off
    const Row rows[] = {
        {"80 emoji 41", {'s'}, "\x80" EMOJI "A", nullptr, M EMOJI "A", 0, u"\u0080\U0001F600A", 0},
        {"F0 then emoji", {'s'}, "\xF0" EMOJI, nullptr, M EMOJI, 0, u"\u0080\U0001F600", 0},
        {"emoji cut inside the text", {'s'}, "\xF0\x9F\x98" "A", nullptr, M M M "A", 0, u"\u0080\u0080\u0080A", 0},
        {"overlong F0 8F BF BF", {'s'}, "\xF0\x8F\xBF\xBF" "A", nullptr, M M M M "A", 0, u"\u0080\u0080\u0080\u0080A", 0},
        {"above U+10FFFF", {'s'}, "\xF4\x90\x80\x80" "A", nullptr, M M M M "A", 0, u"\u0080\u0080\u0080\u0080A", 0},
        {"F5 lead", {'s'}, "\xF5\x80\x80\x80" "A", nullptr, M M M M "A", 0, u"\u0080\u0080\u0080\u0080A", 0},
        // Before the terminator a four-byte lead with two of its bytes is
        // three malformed bytes, as a shorter lead is one.
        {"%5s ends F0 9F 98", {'s', WIDTH, 5}, "a\xF0\x9F\x98", nullptr, " a" M M M, 0, u" a\u0080\u0080\u0080", 0},
        {"ends F0 41 42", {'s'}, "\xF0" "AB", nullptr, M "AB", 0, u"\u0080AB", 0},
    };
    // clang-format on
    for (const Row& row : rows) check(row);
}

// "a", the emoji, "b", and where each of its characters ends in each form.
#define TEXT "a" EMOJI "b"
#define TEXT16 u"a\U0001F600b"
constexpr int32_t NARROW_ENDS[] = {0, 1, 5, 6};
constexpr int32_t WIDE_ENDS[] = {0, 1, 3, 4};

// The characters of TEXT that lie whole within n bytes or units.
int32_t whole_within(const int32_t* ends, int32_t n) {
    int32_t k = 0;
    while (k < 3 && ends[k + 1] <= n) ++k;
    return k;
}
std::string narrow_chars(int32_t k) { return std::string(TEXT).substr(0, static_cast<size_t>(NARROW_ENDS[k])); }
std::u16string wide_chars(int32_t k) { return std::u16string(TEXT16).substr(0, static_cast<size_t>(WIDE_ENDS[k])); }

TEST(BeyondSixteenBits, TheEndOfTheBufferCutsAtEveryByte) {
    for (int32_t room = 0; room <= 6; ++room) {
        SCOPED_TRACE("room " + std::to_string(room));
        const int32_t narrow = whole_within(NARROW_ENDS, room), wide = whole_within(WIDE_ENDS, room);
        const int32_t narrow_result = narrow == 3 ? 0 : -1, wide_result = wide == 3 ? 0 : -1;
        const Row rows[] = {
            {"%s", {'s'}, TEXT, nullptr, narrow_chars(narrow), narrow_result, wide_chars(wide), wide_result},
            {"%S", {'S'}, nullptr, TEXT16, narrow_chars(narrow), narrow_result, wide_chars(wide), wide_result},
        };
        for (const Row& row : rows) check(row, room);

        // Literal text of a format too.
        char buffer[8];
        EXPECT_EQ(format_buffer(buffer, room + 1, TEXT), NARROW_ENDS[narrow]);
        EXPECT_EQ(buffer, narrow_chars(narrow));
        Target t(true, room);
        EXPECT_EQ(format_run(&t.state, TEXT), wide_result == 0 ? 4 : -1);
        EXPECT_EQ(t.wide(), wide_chars(wide));
    }
}

TEST(BeyondSixteenBits, APrecisionCutsAtEveryByte) {
    for (int32_t precision = 0; precision <= 6; ++precision) {
        SCOPED_TRACE("precision " + std::to_string(precision));
        // "s" bounds bytes, "S" units.
        const int32_t s = whole_within(NARROW_ENDS, precision), S = whole_within(WIDE_ENDS, precision);
        const Row rows[] = {
            {"%.*s", {'s', PREC, 0, precision}, TEXT, nullptr, narrow_chars(s), 0, wide_chars(s), 0},
            {"%.*S", {'S', PREC, 0, precision}, nullptr, TEXT16, narrow_chars(S), 0, wide_chars(S), 0},
        };
        for (const Row& row : rows) check(row);
    }
    // The fill covers what the precision dropped.
    const Row rows[] = {
        {"%4.3s emoji", {'s', PREC, 4, 3}, EMOJI, nullptr, "    ", 0, u"    ", 0},
        {"%3.1S pair", {'S', PREC, 3, 1}, nullptr, u"\U0001F600", "   ", 0, u"   ", 0},
    };
    for (const Row& row : rows) check(row);
}

TEST(BeyondSixteenBits, PutChar16FieldKeepsAPairWholeAtItsCap) {
    const Char16* pair = w16(u"a\U0001F600");
    for (bool wide : {false, true}) {
        Target t(wide);
        t.set(Spec{'S', PREC, 0, 2});
        EXPECT_EQ(put_char16_field(&t.state, pair, 3), 0);
        EXPECT_EQ(t.state.emitted, 1);
        // The count alone ends a text: a high surrogate last is lone.
        t.set(Spec{'S'});
        EXPECT_EQ(put_char16_field(&t.state, pair + 1, 1), 0);
        EXPECT_EQ(t.state.emitted, wide ? 2 : 4);
    }
}

// A hook that flushes the buffer into a sink and starts it over, giving
// back the room of the buffer or, when short is set, a single byte less.
struct Sink {
    std::string text;
    bool short_room = false;
};

int flush_hook(FormatState* state) {
    Sink* sink = static_cast<Sink*>(state->hook_arg);
    sink->text.append(state->buffer_start, static_cast<size_t>(state->out - state->buffer_start));
    state->out = state->buffer_start;
    if (sink->short_room) state->limit = state->buffer_start + 3;
    return 1;
}

TEST(BeyondSixteenBits, AHookMustGiveRoomForTheWholeCharacter) {
    const char text[] = "a" EMOJI "b" U2000B;
    const char16_t text16[] = u"a\U0001F600b\U0002000B";
    for (bool wide : {false, true}) {
        for (bool utf16 : {false, true}) {
            SCOPED_TRACE(std::string(wide ? "wide" : "narrow") + (utf16 ? " %S" : " %s"));
            // Room for 4 bytes (2 units): each flush ends after a whole
            // character, and the pieces join into the whole text.
            Target t(wide, wide ? 2 : 4);
            Sink sink;
            t.state.overflow_hook = flush_hook;
            t.state.hook_arg = &sink;
            t.set(Spec{'s'});
            EXPECT_EQ(utf16 ? format_char16_string(&t.state, w16(text16)) : format_utf8_string(&t.state, text), 0);
            const std::string all = sink.text + std::string(t.state.buffer_start, t.written_bytes());
            if (wide) {
                EXPECT_EQ(all, std::string(reinterpret_cast<const char*>(text16), sizeof text16 - 2));
                EXPECT_EQ(t.state.emitted, 6);
            } else {
                EXPECT_EQ(sink.text, "a" EMOJI "b");
                EXPECT_EQ(all, text);
                EXPECT_EQ(t.state.emitted, 10);
            }
            EXPECT_TRUE(t.canaries_intact());

            // A hook that leaves 3 bytes has no room for a four-byte unit.
            Target s(wide, wide ? 2 : 4);
            Sink stingy;
            stingy.short_room = true;
            s.state.overflow_hook = flush_hook;
            s.state.hook_arg = &stingy;
            s.set(Spec{'s'});
            EXPECT_EQ(
                utf16 ? format_char16_string(&s.state, w16(u"ab\U0001F600")) : format_utf8_string(&s.state, "ab" EMOJI),
                -1);
            EXPECT_EQ(s.state.emitted, 2);
            EXPECT_EQ(s.state.out, s.state.buffer_start);
            EXPECT_TRUE(s.canaries_intact());
        }
    }
}

TEST(BeyondSixteenBits, TheEntryPointsAsAUserCallsThem) {
    char buffer[64];
    EXPECT_EQ(format_buffer(buffer, sizeof buffer, "|%-6s|", EMOJI), 11);
    EXPECT_STREQ(buffer, "|" EMOJI "     |");
    EXPECT_EQ(format_buffer(buffer, sizeof buffer, "%3s", "a" U2000B "b"), 6);
    EXPECT_STREQ(buffer, "a" U2000B "b");
    EXPECT_EQ(format_buffer(buffer, sizeof buffer, "%S", w16(u"\xD83D\xDE00")), 4);
    EXPECT_STREQ(buffer, EMOJI);
    // A verb no table holds is read whole and printed as written.
    EXPECT_EQ(format_buffer(buffer, sizeof buffer, "[%" EMOJI "|%d]", 7), 10);
    EXPECT_STREQ(buffer, "[%" EMOJI "%|7]");
}

}  // namespace
