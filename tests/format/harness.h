// The format tests' buffers, each followed by canary bytes that must stay
// untouched: Target, a prepared FormatState for running one writer or
// handler at a time as the format loop would; format_guarded, a run of the
// bounded entry point; and Sink, an overflow hook that flushes the buffer
// and starts it over.
#pragma once

#include <gtest/gtest.h>

#include <cstdarg>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "format/format.h"

using namespace bracket;

namespace format_test {

// What a spec sets before its handler runs.
struct Spec {
    uint32_t verb;
    uint32_t flags = 0;
    int32_t width = 0;
    int32_t precision = 0;
};

// The flag sets the tables' specs use most.
constexpr uint32_t LEFT = FormatFlag::LEFT_ALIGN;
constexpr uint32_t WIDTH = FormatFlag::WIDTH_SET;
constexpr uint32_t PREC = FormatFlag::WIDTH_SET | FormatFlag::PRECISION_SET;

// A char16_t literal as the library's 16-bit text.
inline const Char16* w16(const char16_t* text) { return reinterpret_cast<const Char16*>(text); }

// The last argument of every handler run: the handler must leave it in args.
constexpr int SENTINEL = 0x5EA1;

constexpr char CANARY = static_cast<char>(0xA5);
constexpr int32_t CANARY_BYTES = 16;

class Target {
public:
    // room_units: the units that fit before the terminator's unit.
    explicit Target(bool wide, int32_t room_units = 64)
        : unit_(wide ? 2 : 1),
          room_bytes_(static_cast<size_t>(room_units) * unit_),
          storage_(room_bytes_ + unit_ + CANARY_BYTES, CANARY) {
        std::memset(&state, 0, sizeof state);
        state.wide = wide ? 1 : 0;
        state.buffer_start = storage_.data();
        state.out = storage_.data();
        state.limit = storage_.data() + room_bytes_;
    }

    Target(const Target&) = delete;
    Target& operator=(const Target&) = delete;

    // Sets the spec fields, takes the arguments over as an entry point does
    // (va_copy), runs the handler, and checks that it took exactly its own
    // arguments: the next one must be the trailing SENTINEL.
    int32_t run(Spec spec, ConversionHandler handler, ...) {
        state.verb = spec.verb;
        state.flags = spec.flags;
        state.width = spec.width;
        state.precision = spec.precision;
        va_list caller;
        va_start(caller, handler);
        va_copy(state.args, caller);
        const int32_t result = handler(&state);
        const int next = va_arg(state.args, int);
        va_end(state.args);
        va_end(caller);
        EXPECT_EQ(next, SENTINEL) << "the handler took the wrong number of arguments";
        return result;
    }

    // Sets only the spec fields, for calling a field writer directly.
    void set(Spec spec) {
        state.verb = spec.verb;
        state.flags = spec.flags;
        state.width = spec.width;
        state.precision = spec.precision;
    }

    // Bytes committed so far.
    size_t written_bytes() const { return static_cast<size_t>(state.out - storage_.data()); }

    // Terminates narrow output at out and returns the text before it.
    std::string narrow() {
        EXPECT_EQ(state.wide, 0);
        check_untouched_beyond_out();
        *state.out = 0;
        return std::string(storage_.data(), written_bytes());
    }

    // Terminates wide output at out and returns the units before it.
    std::u16string wide() {
        EXPECT_NE(state.wide, 0);
        check_untouched_beyond_out();
        const Char16 zero = 0;
        std::memcpy(state.out, &zero, sizeof zero);
        std::u16string units;
        for (size_t i = 0; i + 2 <= written_bytes(); i += 2) {
            Char16 unit;
            std::memcpy(&unit, storage_.data() + i, sizeof unit);
            units.push_back(static_cast<char16_t>(unit));
        }
        EXPECT_EQ(written_bytes() % 2, 0u);
        return units;
    }

    // The bytes after the buffer and its terminator slot are untouched (for
    // runs whose hook reuses the buffer, where narrow() and wide() cannot
    // check the whole rest of it).
    bool canaries_intact() const {
        for (size_t i = room_bytes_ + unit_; i < storage_.size(); ++i) {
            if (storage_[i] != CANARY) return false;
        }
        return true;
    }

    // The whole storage, terminator slot and canaries included.
    const std::vector<char>& storage() const { return storage_; }
    size_t room_bytes() const { return room_bytes_; }

    FormatState state;

private:
    // Nothing may be written at or after out: the writers commit every unit
    // they write, so the rest of the buffer, its terminator slot and the
    // canaries keep their fill.
    void check_untouched_beyond_out() {
        ASSERT_GE(state.out, storage_.data());
        ASSERT_LE(state.out, storage_.data() + room_bytes_);
        ASSERT_LE(state.out, state.limit);
        for (size_t i = written_bytes(); i < storage_.size(); ++i) {
            ASSERT_EQ(storage_[i], CANARY) << "byte " << i << " was written";
        }
    }

    size_t unit_;
    size_t room_bytes_;
    std::vector<char> storage_;
};

// Collects what the hook flushes, and notes at each call what emitted was
// and whether it fell behind the units written so far.
struct Sink {
    std::string text;  // the bytes flushed, in either output form
    std::vector<int32_t> emitted_at_call;
    int32_t calls = 0;
    int32_t calls_before_refusing = 1000;
    bool emitted_behind = false;
};

// An overflow hook over a Sink in hook_arg: appends the buffer's contents to
// the sink and starts the buffer over, or refuses once calls_before_refusing
// calls have been made.
inline int flush_to_sink(FormatState* state) {
    Sink* sink = static_cast<Sink*>(state->hook_arg);
    sink->emitted_at_call.push_back(state->emitted);
    if (++sink->calls > sink->calls_before_refusing) return 0;
    const size_t held = static_cast<size_t>(state->out - state->buffer_start);
    const size_t unit = state->wide ? 2 : 1;
    if (static_cast<size_t>(state->emitted) != (sink->text.size() + held) / unit) sink->emitted_behind = true;
    sink->text.append(state->buffer_start, held);
    state->out = state->buffer_start;
    return 1;
}

struct Formatted {
    int32_t result;
    std::string text;  // the bytes before the terminator
};

// Checks that no byte from first on was touched.
inline void expect_untouched_after(const std::vector<char>& bytes, int32_t first) {
    for (size_t i = static_cast<size_t>(first); i < bytes.size(); ++i) {
        EXPECT_EQ(bytes[i], CANARY) << "byte " << i << " written";
    }
}

// format_buffer_args into size bytes followed by canaries; checks that the
// terminator sits at the result and nothing after it was touched (after a
// failed call: nothing at all).
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

}  // namespace format_test

// Formats with a buffer large enough for every test text.
#define FORMAT_TEXT(...) format_test::format_guarded(256, __VA_ARGS__).text
