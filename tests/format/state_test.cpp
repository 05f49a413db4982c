// The output protocol: make_room narrow and wide, with and without
// an overflow hook, and an exhausted buffer that stays exhausted.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "format/detail/writer.h"
#include "format/format.h"
#include "tests/format/harness.h"

using namespace bracket;

namespace {

using format_test::Spec;
using format_test::Target;

TEST(MakeRoom, NarrowWithoutHookCommitsAndExhausts) {
    Target t(false, 5);
    char* const start = t.state.out;
    // A writer has put three bytes at its local position; a three-byte unit
    // does not fit in the two bytes left.
    std::memcpy(start, "abc", 3);
    EXPECT_EQ(make_room(&t.state, start + 3, 3), nullptr);
    EXPECT_EQ(t.state.emitted, 3);
    EXPECT_EQ(t.state.out, start + 3);
    EXPECT_EQ(t.state.limit, start + 3);
    // Exhausted for good: even one byte fails, and nothing more is counted.
    EXPECT_EQ(make_room(&t.state, t.state.out, 1), nullptr);
    EXPECT_EQ(t.state.emitted, 3);
    EXPECT_EQ(t.state.limit, t.state.out);
    EXPECT_EQ(pad_narrow(&t.state, 1), -1);
    EXPECT_EQ(t.state.emitted, 3);
    // A writer with nothing to write needs no room.
    EXPECT_EQ(pad_narrow(&t.state, 0), 0);
    EXPECT_EQ(t.narrow(), "abc");
}

TEST(MakeRoom, WideCountsUnitsNotBytes) {
    Target t(true, 3);
    char* const start = t.state.out;
    std::memset(start, 0, 6);
    EXPECT_EQ(make_room(&t.state, start + 6, 2), nullptr);
    EXPECT_EQ(t.state.emitted, 3);
    EXPECT_EQ(t.state.out, start + 6);
    EXPECT_EQ(t.state.limit, start + 6);
}

// Writers call make_room only on a miss; without a hook it has no room to
// give, whatever the limit says.
TEST(MakeRoom, WithoutHookEveryCallExhausts) {
    Target t(false, 8);
    char* const start = t.state.out;
    std::memcpy(start, "ab", 2);
    EXPECT_EQ(make_room(&t.state, start + 2, 3), nullptr);
    EXPECT_EQ(t.state.emitted, 2);
    EXPECT_EQ(t.state.limit, start + 2);
    EXPECT_EQ(t.narrow(), "ab");
}

TEST(MakeRoom, WritersStopAtAFullNarrowBuffer) {
    Target t(false, 4);
    EXPECT_EQ(pad_narrow(&t.state, 10), -1);
    EXPECT_EQ(t.state.emitted, 4);
    EXPECT_EQ(t.state.limit, t.state.out);
    EXPECT_EQ(pad_narrow(&t.state, 1), -1);
    EXPECT_EQ(t.state.emitted, 4);
    EXPECT_EQ(t.narrow(), "    ");
}

TEST(MakeRoom, WritersStopAtAFullWideBuffer) {
    Target t(true, 3);
    EXPECT_EQ(pad_wide(&t.state, 5), -1);
    EXPECT_EQ(t.state.emitted, 3);
    EXPECT_EQ(t.state.limit, t.state.out);
    EXPECT_EQ(t.wide(), u"   ");
}

TEST(MakeRoom, AHookThatMakesRoomLetsTheWriterGoOn) {
    Target t(false, 4);
    format_test::Sink sink;
    t.state.overflow_hook = format_test::flush_to_sink;
    t.state.hook_arg = &sink;
    char* const start = t.state.out;
    std::memcpy(start, "abcd", 4);
    EXPECT_EQ(make_room(&t.state, start + 4, 3), start);
    ASSERT_EQ(sink.emitted_at_call.size(), 1u);
    EXPECT_EQ(sink.emitted_at_call[0], 4);  // committed before the call
    EXPECT_EQ(sink.text, "abcd");
    EXPECT_EQ(t.state.limit, start + 4);
}

TEST(MakeRoom, AHookNeverSplitsACharacter) {
    Target t(false, 4);
    format_test::Sink sink;
    t.state.overflow_hook = format_test::flush_to_sink;
    t.state.hook_arg = &sink;
    // a, e-acute, euro sign, b, euro sign: 1 + 2 + 3 + 1 + 3 bytes.
    const char text[] =
        "a\xC3\xA9\xE2\x82\xAC"
        "b\xE2\x82\xAC";
    t.set(Spec{'s'});
    EXPECT_EQ(format_utf8_string(&t.state, text), 0);
    EXPECT_EQ(t.state.emitted, 10);
    // Each flush holds whole characters only.
    EXPECT_EQ(sink.emitted_at_call, (std::vector<int32_t>{3, 7}));
    EXPECT_EQ(sink.text,
              "a\xC3\xA9\xE2\x82\xAC"
              "b");
    EXPECT_EQ(sink.text + std::string(t.state.buffer_start, t.written_bytes()), text);
    EXPECT_TRUE(t.canaries_intact());
}

TEST(MakeRoom, AHookThatMakesRoomForWideUnits) {
    Target t(true, 2);
    format_test::Sink sink;
    t.state.overflow_hook = format_test::flush_to_sink;
    t.state.hook_arg = &sink;
    t.set(Spec{'s'});
    EXPECT_EQ(format_utf8_string(&t.state, "hello"), 0);
    EXPECT_EQ(t.state.emitted, 5);
    EXPECT_EQ(sink.emitted_at_call, (std::vector<int32_t>{2, 4}));
    EXPECT_EQ(sink.text.size(), 8u);
    EXPECT_EQ(t.written_bytes(), 2u);
    Char16 last;
    std::memcpy(&last, t.state.buffer_start, sizeof last);
    EXPECT_EQ(last, u'o');
    EXPECT_TRUE(t.canaries_intact());
}

TEST(MakeRoom, AHookThatRefusesExhaustsTheBuffer) {
    Target t(false, 4);
    format_test::Sink sink;
    sink.calls_before_refusing = 0;
    t.state.overflow_hook = format_test::flush_to_sink;
    t.state.hook_arg = &sink;
    EXPECT_EQ(pad_narrow(&t.state, 6), -1);
    EXPECT_EQ(sink.calls, 1);
    EXPECT_EQ(t.state.emitted, 4);
    EXPECT_EQ(t.state.limit, t.state.out);
    EXPECT_EQ(t.narrow(), "    ");
}

// A hook that claims room but leaves less than the unit needs.
int stingy_hook(FormatState* state) {
    state->out = state->buffer_start;
    state->limit = state->buffer_start + 1;
    return 1;
}

TEST(MakeRoom, AHookThatLeavesTooLittleRoomFoundNone) {
    Target t(false, 4);
    t.state.overflow_hook = stingy_hook;
    char* const start = t.state.out;
    EXPECT_EQ(make_room(&t.state, start + 4, 2), nullptr);
    EXPECT_EQ(t.state.emitted, 4);
    EXPECT_EQ(t.state.limit, t.state.out);
    EXPECT_EQ(t.state.out, start);                    // where the hook left it
    EXPECT_EQ(make_room(&t.state, start, 1), start);  // one byte it does leave
}

// A hook that moves the output into a second buffer: the writer must go on at
// the returned position and read the new limit.
struct Spill {
    char second[16];
};

int spill_hook(FormatState* state) {
    Spill* spill = static_cast<Spill*>(state->hook_arg);
    if (state->buffer_start == spill->second) return 0;
    state->buffer_start = spill->second;
    state->out = spill->second;
    state->limit = spill->second + sizeof spill->second - 1;
    return 1;
}

TEST(MakeRoom, AHookMayMoveTheBuffer) {
    Target t(false, 2);
    Spill spill;
    std::memset(spill.second, 0x5A, sizeof spill.second);
    t.state.overflow_hook = spill_hook;
    t.state.hook_arg = &spill;
    char* const first = t.state.out;
    t.set(Spec{'s'});
    EXPECT_EQ(format_utf8_string(&t.state, "hello"), 0);
    EXPECT_EQ(t.state.emitted, 5);
    EXPECT_EQ(std::string(first, 2), "he");
    EXPECT_EQ(std::string(spill.second, 3), "llo");
    EXPECT_EQ(t.state.out, spill.second + 3);
    EXPECT_EQ(spill.second[3], 0x5A);
}

}  // namespace
