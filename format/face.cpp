// The runs behind the C++ face (format/format.hpp): a string grown through
// the overflow hook, and a bounded buffer whose hook goes on counting once
// the text no longer fits. The engine runs a format through them, and so
// does a checked format's plan, whose steps the face runs in line.
#include <cstdarg>  // va_list, va_start, va_end
#include <cstddef>  // size_t
#include <cstdint>
#include <cstring>  // memcpy
#include <string>

#include "format/detail/format_loop.h"
#include "format/detail/writer.h"
#include "format/format.h"
#include "format/format.hpp"

using bracket::detail::BoundedRun;
using bracket::detail::Spec;
using bracket::detail::WindowRun;

namespace {

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

void open_window(WindowRun* run, uint8_t wide, OverflowHook hook, void* hook_arg) {
    FormatState* state = &run->state;
    state->wide = wide;
    state->buffer_start = run->window;
    state->out = run->window;
    // The window needs no terminator: its last byte is room as well.
    state->limit = run->window + sizeof run->window;
    state->overflow_hook = hook;
    state->hook_arg = hook_arg;
    state->emitted = 0;
}

// The first call marks the cut (out is committed up to it); every call
// gives the scratch window, whose text is dropped while emitted counts it.
int count_past_cut(FormatState* state) {
    auto* run = static_cast<BoundedRun*>(state->hook_arg);
    if (!run->cut) {
        run->cut = true;
        run->cut_at = state->out;
    }
    state->buffer_start = run->scratch;
    state->out = run->scratch;
    state->limit = run->scratch + sizeof run->scratch;
    return 1;
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

}  // namespace

namespace bracket::detail {

void open_string_run(WindowRun* run, std::string* text) { open_window(run, 0, flush_to_string, text); }
void close_string_run(WindowRun* run) { flush_to_string(&run->state); }
void open_string16_run(WindowRun* run, std::u16string* text) { open_window(run, 1, flush_to_u16string, text); }
void close_string16_run(WindowRun* run) { flush_to_u16string(&run->state); }

void open_bounded_run(BoundedRun* run, char* buffer, size_t size) {
    // The engine counts in 32 bits: a larger buffer is used up to that.
    const int32_t room = size > INT32_MAX ? INT32_MAX : static_cast<int32_t>(size);
    run->buffer = buffer;
    run->room = room;
    run->cut = false;
    run->cut_at = nullptr;
    FormatState& state = run->state;
    state.wide = 0;
    state.buffer_start = buffer;
    state.out = buffer;
    state.limit = room > 0 ? buffer + room - 1 : buffer;
    state.overflow_hook = count_past_cut;
    state.hook_arg = run;
    state.emitted = 0;
}

void close_bounded_run(BoundedRun* run, FormatToResult* result) {
    const FormatState& state = run->state;
    char* end = run->cut ? run->cut_at : state.out;
    if (run->room > 0) *end = '\0';
    const int32_t length = static_cast<int32_t>(end - run->buffer);
    *result = FormatToResult{length, state.emitted, state.emitted > length, true};
}

bool put_plan_literal(FormatState* state, const char* text, int32_t length) {
    // When the whole run fits in narrow output no unit of it can meet the
    // limit, and it goes in one move; otherwise the format loop's copy
    // takes it unit by unit.
    Writer w = writer_begin(state);
    if (state->wide == 0 && writer_fits_stretch(&w, static_cast<size_t>(length))) {
        writer_put_bytes(&w, text, static_cast<size_t>(length));
        writer_commit(&w);
        return true;
    }
    return format_copy_literal(state, text) != nullptr;
}

void append_formatted(std::string* text, const char* format, const Spec* views, int32_t view_count, ...) {
    WindowRun run;
    open_string_run(&run, text);
    va_start(run.state.args, view_count);
    run_format(&run.state, format, views, view_count);
    va_end(run.state.args);
    close_string_run(&run);
}

void append_formatted16(std::u16string* text, const char* format, const Spec* views, int32_t view_count, ...) {
    WindowRun run;
    open_string16_run(&run, text);
    va_start(run.state.args, view_count);
    run_format(&run.state, format, views, view_count);
    va_end(run.state.args);
    close_string16_run(&run);
}

FormatToResult format_into(char* buffer, size_t size, const char* format, const Spec* views, int32_t view_count, ...) {
    BoundedRun run;
    open_bounded_run(&run, buffer, size);
    va_start(run.state.args, view_count);
    run_format(&run.state, format, views, view_count);
    va_end(run.state.args);
    FormatToResult result;
    close_bounded_run(&run, &result);
    return result;
}

}  // namespace bracket::detail
