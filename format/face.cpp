// The engine's runs behind the C++ face (format/format.hpp): a string grown
// through the overflow hook, and a bounded buffer whose hook goes on counting
// once the text no longer fits.
#include <cstdarg>  // va_list, va_start, va_end
#include <cstddef>  // size_t
#include <cstdint>
#include <cstring>  // memcpy
#include <string>

#include "format/detail/format_loop.h"
#include "format/detail/writer.h"
#include "format/format.h"
#include "format/format.hpp"

using bracket::detail::PlanArgument;
using bracket::detail::PlanStep;
using bracket::detail::Spec;

namespace {

// The window a string's text passes through: a line fits whole, and the
// string is then made in one allocation (none for a short text).
constexpr int32_t WINDOW_BYTES = 256;

// Moves the window's committed text into the string and starts it over.
int flush_to_string(FormatState* state) {
    auto* text = static_cast<std::string*>(state->hook_arg);
    text->append(state->buffer_start, static_cast<size_t>(state->out - state->buffer_start));
    state->out = state->buffer_start;
    return 1;
}

int flush_to_u16string(FormatState* state) {
    auto* text = static_cast<std::u16string*>(state->hook_arg);
    text->append(reinterpret_cast<const char16_t*>(state->buffer_start),
                 static_cast<size_t>(state->out - state->buffer_start) / 2);
    state->out = state->buffer_start;
    return 1;
}

void open_window(FormatState* state, uint8_t wide, char* window, OverflowHook hook, void* hook_arg) {
    state->wide = wide;
    state->buffer_start = window;
    state->out = window;
    // The window needs no terminator: its last byte is room as well.
    state->limit = window + WINDOW_BYTES;
    state->overflow_hook = hook;
    state->hook_arg = hook_arg;
    state->emitted = 0;
}

// Where a bounded buffer was cut, and the window the rest is counted in.
struct Overflow {
    bool cut;
    char* cut_at;
    char scratch[64];
};

// The first call marks the cut (out is committed up to it); every call
// gives the scratch window, whose text is dropped while emitted counts it.
int count_past_cut(FormatState* state) {
    auto* overflow = static_cast<Overflow*>(state->hook_arg);
    if (!overflow->cut) {
        overflow->cut = true;
        overflow->cut_at = state->out;
    }
    state->buffer_start = overflow->scratch;
    state->out = overflow->scratch;
    state->limit = overflow->scratch + sizeof overflow->scratch;
    return 1;
}

// A bounded buffer's run: the state over the buffer, and the cut and the
// length needed when the run is over.
struct Bounded {
    Overflow overflow;
    FormatState state;
    char* buffer;
    int32_t room;
};

void open_bounded(Bounded* bounded, char* buffer, size_t size) {
    // The engine counts in 32 bits: a larger buffer is used up to that.
    const int32_t room = size > INT32_MAX ? INT32_MAX : static_cast<int32_t>(size);
    bounded->buffer = buffer;
    bounded->room = room;
    bounded->overflow.cut = false;
    bounded->overflow.cut_at = nullptr;
    FormatState& state = bounded->state;
    state.wide = 0;
    state.buffer_start = buffer;
    state.out = buffer;
    state.limit = room > 0 ? buffer + room - 1 : buffer;
    state.overflow_hook = count_past_cut;
    state.hook_arg = &bounded->overflow;
    state.emitted = 0;
}

// Terminates the text at the cut, or after it when it fit whole.
bracket::FormatToResult close_bounded(Bounded* bounded) {
    const FormatState& state = bounded->state;
    char* end = bounded->overflow.cut ? bounded->overflow.cut_at : state.out;
    if (bounded->room > 0) *end = '\0';
    const int32_t length = static_cast<int32_t>(end - bounded->buffer);
    return bracket::FormatToResult{length, state.emitted, state.emitted > length, true};
}

// Runs format over a prepared state. The text runs where it stands but for
// each view's spec, which runs from a copy with ".*" before its verb: the
// bound passed before the view's data then caps the bytes the verb reads,
// as a precision does. A format without views runs whole, as format_run
// runs it (a runtime() format may be null, which is the empty one).
inline void run_format(FormatState* state, const char* format, const Spec* views, int32_t view_count) {
    if (view_count == 0) {
        format_run(state, format);
        return;
    }
    const char* position = format;
    for (int32_t i = 0; i < view_count; ++i) {
        const char* percent = format + views[i].start;
        if (format_run_to(state, position, percent) != percent) return;
        char spec[bracket::detail::VIEW_SPEC_MAX + 4];
        const auto length = static_cast<size_t>(views[i].verb - views[i].start - 1);
        memcpy(spec, percent + 1, length);
        memcpy(spec + length, ".*", 2);
        spec[length + 2] = format[views[i].verb];
        spec[length + 3] = '\0';
        if (parse_spec(state, spec) == nullptr) return;
        position = format + views[i].verb + 1;
    }
    format_run_to(state, position, nullptr);
}

// The literal run of a plan step, as the format loop copies it: when the
// whole run fits in narrow output no unit of it can meet the limit, and it
// goes in one move.
inline bool put_literal(FormatState* state, const char* text, int32_t length) {
    Writer w = writer_begin(state);
    if (state->wide == 0 && writer_fits_stretch(&w, static_cast<size_t>(length))) {
        writer_put_bytes(&w, text, static_cast<size_t>(length));
        writer_commit(&w);
        return true;
    }
    return format_copy_literal(state, text) != nullptr;
}

// Runs a plan over a prepared state as format_run runs its format: each
// verb finds the state as its handler would, and a writer's failure stops
// the run.
void run_plan(FormatState* state, const char* format, const PlanStep* step, const PlanArgument* arguments) {
    for (;; ++step) {
        if (step->literal_length > 0 && !put_literal(state, format + step->literal, step->literal_length)) return;
        if (step->put == nullptr) return;
        state->verb = step->code;
        state->flags = step->flags;
        state->width = step->width;
        state->precision = step->precision;
        for (int32_t star = 0; star < step->stars; ++star) {
            const auto value = static_cast<int32_t>(arguments[step->first_star + star].bits);
            const int32_t number = bracket::detail::star_magnitude(&state->flags, value);
            if (star == step->width_star) state->width = number;
            if (star == step->precision_star) state->precision = number;
        }
        const PlanArgument& argument = arguments[step->argument < 0 ? 0 : step->argument];
        if (step->put(state, argument.bits, argument.length) < 0) return;
    }
}

}  // namespace

namespace bracket::detail {

void append_planned(std::string* text, const char* format, const PlanStep* steps, const PlanArgument* arguments) {
    alignas(2) char window[WINDOW_BYTES];
    FormatState state;
    open_window(&state, 0, window, flush_to_string, text);
    run_plan(&state, format, steps, arguments);
    flush_to_string(&state);
}

void append_planned16(std::u16string* text, const char* format, const PlanStep* steps,
                      const PlanArgument* arguments) {
    alignas(2) char window[WINDOW_BYTES];
    FormatState state;
    open_window(&state, 1, window, flush_to_u16string, text);
    run_plan(&state, format, steps, arguments);
    flush_to_u16string(&state);
}

void append_formatted(std::string* text, const char* format, const Spec* views, int32_t view_count, ...) {
    alignas(2) char window[WINDOW_BYTES];
    FormatState state;
    open_window(&state, 0, window, flush_to_string, text);
    va_start(state.args, view_count);
    run_format(&state, format, views, view_count);
    va_end(state.args);
    flush_to_string(&state);
}

void append_formatted16(std::u16string* text, const char* format, const Spec* views, int32_t view_count, ...) {
    alignas(2) char window[WINDOW_BYTES];
    FormatState state;
    open_window(&state, 1, window, flush_to_u16string, text);
    va_start(state.args, view_count);
    run_format(&state, format, views, view_count);
    va_end(state.args);
    flush_to_u16string(&state);
}

FormatToResult format_into(char* buffer, size_t size, const char* format, const Spec* views, int32_t view_count, ...) {
    Bounded bounded;
    open_bounded(&bounded, buffer, size);
    va_start(bounded.state.args, view_count);
    run_format(&bounded.state, format, views, view_count);
    va_end(bounded.state.args);
    return close_bounded(&bounded);
}

FormatToResult format_planned_into(char* buffer, size_t size, const char* format, const PlanStep* steps,
                                   const PlanArgument* arguments) {
    Bounded bounded;
    open_bounded(&bounded, buffer, size);
    run_plan(&bounded.state, format, steps, arguments);
    return close_bounded(&bounded);
}

}  // namespace bracket::detail
