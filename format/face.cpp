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
#include "format/detail/text_char.h"
#include "format/detail/writer.h"
#include "format/format.h"
#include "format/format.hpp"
// The face reports through the error text, which is built into this archive.
#include "portability/error_text.h"

namespace bracket {

using detail::BoundedRun;
using detail::FaceRun;
using detail::Spec;
using detail::SpecCursor;
using detail::WindowRun;

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
    state->status = FormatStatus::WHOLE;
}

// The first call marks the cut (out is committed up to it); every call
// gives the scratch window, whose text is dropped while emitted counts it.
// Close to what emitted holds it gives no more room: needed is then as
// large as it can be, and counting further would wrap.
int count_past_cut(FormatState* state) {
    auto* run = static_cast<BoundedRun*>(state->hook_arg);
    if (state->emitted > INT32_MAX - 2 * static_cast<int32_t>(sizeof run->scratch)) {
        run->saturated = true;
        return 0;
    }
    if (!run->cut) {
        run->cut = true;
        run->cut_at = state->out;
    }
    state->buffer_start = run->scratch;
    state->out = run->scratch;
    state->limit = run->scratch + sizeof run->scratch;
    return 1;
}

// Runs the spec at format + spec.start from a copy with extra before its
// verb; returns the position after it in the format, or null when it failed.
const char* run_spec_from_copy(FormatState* state, const char* format, const Spec& spec, const char* extra) {
    char copy[detail::VIEW_SPEC_MAX + 4];
    const auto length = static_cast<size_t>(spec.verb - spec.start - 1);
    const size_t extra_length = strlen(extra);
    memcpy(copy, format + spec.start + 1, length);
    memcpy(copy + length, extra, extra_length);
    copy[length + extra_length] = format[spec.verb];
    copy[length + extra_length + 1] = '\0';
    if (parse_spec(state, copy) == nullptr) {
        // The reader stopped inside the copy: the failure is this spec's.
        state->stopped_at = format + spec.verb + 1;
        return nullptr;
    }
    return format + spec.verb + 1;
}

// Runs the face's format over a prepared state, where it stands but for
// the specs the face must run from a copy: a view's, with ".*" before its
// verb, so that the bound passed before the view's data caps the bytes the
// verb reads as a precision does; and an integer verb's whose argument is
// unsigned, with "u". Out of line, so that a format with neither, which
// runs whole through format_run, pays nothing for it.
#if defined(__GNUC__)
__attribute__((noinline))
#endif
void run_format_with_copies(FormatState* state, const FaceRun* run) {
    const char* format = run->format;
    const char* position = format;
    SpecCursor cursor{format, 0, 0};
    Spec spec{};
    int32_t view = 0;
    while (read_next_spec(&cursor, &spec) && spec.verb >= 0) {
        const int32_t argument = spec.first + spec.stars;
        const char* extra = nullptr;
        if (view < run->view_count && run->views[view].start == spec.start) {
            extra = ".*";
            ++view;
        } else if (detail::is_integer_verb(spec.code) && argument < 64 &&
                   spec.verb - spec.start - 1 <= detail::VIEW_SPEC_MAX && ((run->unsigned_args >> argument) & 1) != 0) {
            extra = "u";
        }
        if (extra == nullptr) continue;
        const char* percent = format + spec.start;
        if (format_run_to(state, position, percent) != percent) return;
        position = run_spec_from_copy(state, format, spec, extra);
        if (position == nullptr) return;
    }
    format_run_to(state, position, nullptr);
}

// The spec of format that the run stopped in (at or before stopped_at).
Spec spec_stopped_in(const char* format, const char* stopped_at) {
    SpecCursor cursor{format, 0, 0};
    Spec spec{};
    Spec found{};
    found.verb = -1;
    const auto stop = static_cast<int32_t>(stopped_at - format);
    while (read_next_spec(&cursor, &spec) && spec.start < stop) found = spec;
    return found;
}

inline void run_format(FormatState* state, const FaceRun* run) {
    if (run->view_count == 0 && run->unsigned_args == 0) {
        format_run(state, run->format);  // which clears the status
    } else {
        run_format_with_copies(state, run);
    }
}

// Records the error text for a run that fell short.
#if defined(__GNUC__)
__attribute__((noinline, cold))
#endif
void report_run(const FormatState* state, const FaceRun* run) {
    if (state->status == FormatStatus::NO_ROOM) {
        set_error_text("%s: no room for the text", run->call);
        return;
    }
    const Spec spec = spec_stopped_in(run->format, state->stopped_at);
    const char* conversion = run->format + spec.start;
    // The conversion as written: to its verb, whole, or to the format's end.
    int32_t length = static_cast<int32_t>(strlen(conversion));
    if (state->status == FormatStatus::HANDLER_FAILED && spec.verb >= 0) {
        length = spec.verb - spec.start;
        length += text_char(conversion + length, TEXT_CHAR_MAX_BYTES).length;
    }
    const int32_t argument = spec.first + spec.stars + 1;
    if (state->status == FormatStatus::UNTERMINATED) {
        set_error_text("%s: the format ends inside the conversion %.*s (argument %d)", run->call, length, conversion,
                       argument);
    } else {
        set_error_text("%s: the conversion %.*s failed (argument %d)", run->call, length, conversion, argument);
    }
}

// True when the run gave what its format asked for; else records why.
inline bool check_run(const FormatState* state, const FaceRun* run) {
    if (state->status == FormatStatus::WHOLE) return true;
    report_run(state, run);
    return false;
}

}  // namespace

namespace detail {

void open_string_run(WindowRun* run, std::string* text) { open_window(run, 0, flush_to_string, text); }

void open_string_run(WindowRun* run, std::u16string* text) { open_window(run, 1, flush_to_u16string, text); }

bool close_string_run(WindowRun* run, const FaceRun* face_run) {
    // The window's hook is the flush of its string's kind.
    run->state.overflow_hook(&run->state);
    return check_run(&run->state, face_run);
}

void open_bounded_run(BoundedRun* run, char* buffer, size_t size) {
    // The engine counts in 32 bits: a larger buffer is used up to that.
    const int32_t room = size > INT32_MAX ? INT32_MAX : static_cast<int32_t>(size);
    run->buffer = buffer;
    run->room = room;
    run->cut = false;
    run->saturated = false;
    run->cut_at = nullptr;
    FormatState& state = run->state;
    state.wide = 0;
    state.buffer_start = buffer;
    state.out = buffer;
    state.limit = room > 0 ? buffer + room - 1 : buffer;
    state.overflow_hook = count_past_cut;
    state.hook_arg = run;
    state.emitted = 0;
    state.status = FormatStatus::WHOLE;
}

void close_bounded_run(BoundedRun* run, const FaceRun* face_run, FormatToResult* result) {
    const FormatState& state = run->state;
    char* end = run->cut ? run->cut_at : state.out;
    if (run->room > 0) *end = '\0';
    const int32_t length = static_cast<int32_t>(end - run->buffer);
    if (run->saturated) {
        *result = FormatToResult{length, INT32_MAX, true, true};
        return;
    }
    // The caller's buffer cuts the text; only the run itself can fail it.
    *result = FormatToResult{length, state.emitted, run->cut, check_run(&state, face_run)};
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

}  // namespace detail

namespace {
// A string run of the engine over arguments that a variadic entry took.
template <class String>
void append_formatted_args(String* text, const FaceRun* run, va_list args) {
    WindowRun window;
    detail::open_string_run(&window, text);
    va_copy(window.state.args, args);
    run_format(&window.state, run);
    va_end(window.state.args);
    detail::close_string_run(&window, run);
}
}  // namespace

namespace detail {

void append_formatted(std::string* text, const FaceRun* run, ...) {
    va_list args;
    va_start(args, run);
    append_formatted_args(text, run, args);
    va_end(args);
}

void append_formatted(std::u16string* text, const FaceRun* run, ...) {
    va_list args;
    va_start(args, run);
    append_formatted_args(text, run, args);
    va_end(args);
}

FormatToResult format_into(char* buffer, size_t size, const FaceRun* run, ...) {
    BoundedRun bounded;
    open_bounded_run(&bounded, buffer, size);
    va_start(bounded.state.args, run);
    run_format(&bounded.state, run);
    va_end(bounded.state.args);
    FormatToResult result;
    close_bounded_run(&bounded, run, &result);
    return result;
}

void report_mismatch(const char* call, const Check& check) {
    const int32_t argument = check.argument + 1;
    const char c = check.conversion;
    switch (check.problem) {
        case Problem::USE_LL: set_error_text("%s: argument %d is 64 bits: use ll (%%ll%c)", call, argument, c); break;
        case Problem::NO_FLOATING_POINT:
            set_error_text("%s: no floating point verb %%%c (argument %d)", call, c, argument);
            break;
        case Problem::NOT_BUILT_IN:
            set_error_text("%s: the verb %%%c is not built in: use bracket::runtime (argument %d)", call, c, argument);
            break;
        case Problem::UNTERMINATED:
            set_error_text("%s: the format ends inside a conversion (argument %d)", call, argument);
            break;
        case Problem::TOO_FEW:
            set_error_text("%s: the conversion %%%c has no argument left (argument %d)", call, c, argument);
            break;
        case Problem::TOO_MANY:
            set_error_text("%s: argument %d is left over after the last conversion", call, argument);
            break;
        case Problem::VIEW_SPEC_TOO_LONG:
            set_error_text("%s: the conversion %%%c of a view is over 60 bytes (argument %d)", call, c, argument);
            break;
        default: set_error_text("%s: argument %d does not match the conversion %%%c", call, argument, c); break;
    }
}

bool view_end_cuts(const char* data, size_t size) {
    // Only a character that begins in the last three bytes can be cut.
    size_t at = size;
    for (int32_t back = 0; back < TEXT_CHAR_MAX_BYTES - 1 && at > 0; ++back) {
        --at;
        if ((static_cast<unsigned char>(data[at]) & 0xC0) != 0x80) {
            return text_char(data + at, static_cast<int32_t>(size - at)).cut;
        }
    }
    return false;
}

}  // namespace detail

}  // namespace bracket
