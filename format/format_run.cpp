// The format loop: literal text, and one conversion spec after each "%".
#include <stdarg.h>  // va_arg
#include <stdint.h>

#include "format/detail/format_loop.h"
#include "format/detail/grammar.h"
#include "format/detail/text_char.h"
#include "format/detail/verb_lookup.h"
#include "format/detail/writer.h"
#include "format/format.h"
#include "format/utf8.h"

namespace bracket {

namespace {

// Copies literal text up to the next "%" or the terminator and returns where
// it stopped, or null when the buffer ran out. Narrow output gets the bytes
// unchanged, malformed ones included; a sequence is one unit so that it is
// never split at the end of the buffer.
const char* copy_literal(FormatState* state, const char* position) {
    Writer w = writer_begin(state);
    bool wide = state->wide != 0;
    if (!wide) {
        // No room test per byte while a character that starts here would
        // still fit whole ("%" and NUL are no continuation bytes, so no
        // character spans a stop). A stretch that reaches the last
        // TEXT_CHAR_MAX_BYTES - 1 bytes of room is copied again below, unit by
        // unit.
        const uintptr_t room = writer_room_left(&w);
        if (room > static_cast<uintptr_t>(TEXT_CHAR_MAX_BYTES - 1)) {
            const uintptr_t bound = room - (TEXT_CHAR_MAX_BYTES - 1);
            for (uintptr_t n = 0; n < bound; ++n) {
                const unsigned char byte = static_cast<unsigned char>(position[n]);
                // Both stops lie at or below "%": most bytes are ruled out
                // by one comparison.
                if (byte <= '%' && (byte == '\0' || byte == '%')) {
                    w.out += n;
                    writer_commit(&w);
                    return position + n;
                }
                w.out[n] = static_cast<char>(byte);
            }
        }
    }
    for (;;) {
        const unsigned char byte = static_cast<unsigned char>(*position);
        if (byte == 0 || byte == '%') break;
        // A four-byte character is one unit too: a surrogate pair in wide
        // output.
        const TextChar c = text_char(position, TEXT_CHAR_MAX_BYTES);
        if (wide) {
            if (!writer_put_code(&w, c.value)) return nullptr;
        } else {
            if (!writer_room(&w, c.length)) return nullptr;
            for (int32_t i = 0; i < c.length; ++i) writer_put_byte(&w, position[i]);
        }
        position += c.length;
    }
    writer_commit(&w);
    return position;
}

// Reads a verb beyond ASCII whole, four bytes included, so that no byte of
// it is left behind to be copied as text; returns the position after it.
// Out of line: the reader's loop stays small for the ASCII specs nearly
// every format has.
#if defined(__GNUC__)
__attribute__((noinline))
#endif
const char*
read_wide_verb(const char* position, uint32_t* c) {
    const TextChar whole = text_char(position, TEXT_CHAR_MAX_BYTES);
    *c = whole.value;
    return position + whole.length;
}

// Records why the spec reader stops, unless an earlier cause stands (a
// handler that failed for want of room); returns the null it stops with.
// Out of line: the reader's loop stays small for the specs that go on.
#if defined(__GNUC__)
__attribute__((noinline, cold))
#endif
const char*
stop_short(FormatState* state, uint8_t status, const char* position) {
    if (state->status == FormatStatus::WHOLE) {
        state->status = status;
        state->stopped_at = position;
    }
    return nullptr;
}

// parse_spec itself, taken in whole into the format loop, which runs it
// for each conversion spec. The grammar says what each character is; every
// verb and flag character goes to its handler, which a caller may replace.
#if defined(__GNUC__)
__attribute__((always_inline))
#endif
inline const char*
read_spec(FormatState* state, const char* position) {
    using detail::SpecPart;
    // The spec's fields live in locals while the spec is read and reach the
    // state before anything can look at them: a handler, or the caller when
    // the spec ends unterminated.
    detail::SpecFields fields{0, 0, 0};
    for (;;) {
        const detail::SpecToken token = detail::read_spec_token(position, fields.flags);
        position += token.length;
        switch (token.part) {
            case SpecPart::ZERO_FLAG: fields.flags |= FormatFlag::ZERO_PAD; continue;
            case SpecPart::DOT: detail::spec_take_dot(&fields); continue;
            case SpecPart::NUMBER: detail::spec_take_number(&fields, static_cast<int32_t>(token.value)); continue;
            case SpecPart::STAR: detail::spec_take_star(&fields, va_arg(state->args, int32_t)); continue;
            case SpecPart::VERB: break;
        }
        uint32_t c = token.value;
        if (c >= 0x80) position = read_wide_verb(position - token.length, &c);
        state->verb = c;
        state->flags = fields.flags;
        state->width = fields.width;
        state->precision = fields.precision;
        if (c == 0) return stop_short(state, FormatStatus::UNTERMINATED, position);
        // No table holds a code beyond 16 bits.
        const ConversionHandler handler =
            c <= 0xFFFF ? find_verb_handler_fast(static_cast<Char16>(c)) : convert_bad_verb;
        int32_t result = handler(state);
        if (result < 0) return stop_short(state, FormatStatus::HANDLER_FAILED, position);
        if (result == 0) return position;
        fields = detail::SpecFields{state->flags, state->width, state->precision};
    }
}

// The format loop. format_run and format_run_to each take it in whole,
// with the literal copy and the spec reader (README, Performance).
const char* run_to(FormatState* state, const char* position, const char* stop) {
    for (;;) {
        position = copy_literal(state, position);
        if (position == nullptr || position == stop || *position == '\0') return position;
        position = read_spec(state, position + 1);
        if (position == nullptr) return nullptr;
    }
}

}  // namespace

const char* parse_spec(FormatState* state, const char* position) { return read_spec(state, position); }

const char* format_copy_literal(FormatState* state, const char* position) { return copy_literal(state, position); }

#if defined(__GNUC__)
__attribute__((flatten))
#endif
const char*
format_run_to(FormatState* state, const char* position, const char* stop) {
    return run_to(state, position, stop);
}

#if defined(__GNUC__)
__attribute__((flatten))
#endif
int32_t
format_run(FormatState* state, const char* format) {
    state->status = FormatStatus::WHOLE;
    if (format == nullptr) return 0;  // no format is the empty one
    int32_t emitted_at_entry = state->emitted;
    if (run_to(state, format, nullptr) == nullptr) return -1;
    return state->emitted - emitted_at_entry;
}

}  // namespace bracket
