// The bounded entry points: narrow output into a caller's buffer, always
// terminated after the last whole character.
#include <stdarg.h>  // va_list, va_start, va_copy, va_end
#include <stdint.h>

#include "format/format.h"

namespace bracket {

namespace {

// Prepares a narrow state over [buffer, end), end > buffer, with the last
// byte kept for the terminator; the caller starts its arguments.
void open_bounded(FormatState* state, char* buffer, char* end) {
    state->wide = 0;
    state->buffer_start = buffer;
    state->out = buffer;
    state->limit = end - 1;
    state->overflow_hook = nullptr;
    state->hook_arg = nullptr;
    state->emitted = 0;
}

// Runs format into [buffer, end), end > buffer, and returns the terminator's
// position. Whatever stopped the run, the text up to there stands.
char* run_bounded(char* buffer, char* end, const char* format, va_list args) {
    FormatState state;
    open_bounded(&state, buffer, end);
    va_copy(state.args, args);
    format_run(&state, format);
    va_end(state.args);
    *state.out = '\0';
    return state.out;
}

}  // namespace

int32_t format_buffer_args(char* buffer, int32_t size, const char* format, va_list args) {
    if (size <= 0) return -1;
    return static_cast<int32_t>(run_bounded(buffer, buffer + size, format, args) - buffer);
}

int32_t format_buffer(char* buffer, int32_t size, const char* format, ...) {
    if (size <= 0) return -1;
    // format_buffer_args, but with va_start straight into the state: a
    // va_copy of a list that va_start has just written stalls on reading it
    // back.
    FormatState state;
    open_bounded(&state, buffer, buffer + size);
    va_start(state.args, format);
    format_run(&state, format);
    va_end(state.args);
    *state.out = '\0';
    return static_cast<int32_t>(state.out - buffer);
}

char* format_range_args(char* buffer, char* end, const char* format, va_list args) {
    if (reinterpret_cast<uintptr_t>(end) <= reinterpret_cast<uintptr_t>(buffer)) return nullptr;
    return run_bounded(buffer, end, format, args);
}

}  // namespace bracket
