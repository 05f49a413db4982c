// The writer protocol, in one place. Every routine that writes output (the
// literal copy of the format loop and the field writers) keeps the write
// position and the limit in locals, tests room per unit against the local
// limit, asks make_room only on a miss, and commits once per stretch.
// Internal to the library.
#pragma once

#include <stdint.h>
#include <string.h>  // memcpy, memset

#include "format/format.h"

namespace bracket {

// The precision caps the characters of a field.
inline int32_t capped_count(const FormatState* state, int32_t count) {
    if ((state->flags & FormatFlag::PRECISION_SET) != 0 && count > state->precision) {
        return state->precision;
    }
    return count;
}

// The fill is the width minus the count, in characters. A count below 0
// comes from a precision that wrapped negative (digits of 2^31 or more, or
// a "*" argument of the most negative value) and is taken as 0: the field is
// the width wide, not wider by the wrapped amount. A negative width writes
// no fill.
inline int32_t fill_of(const FormatState* state, int32_t count) {
    const int64_t fill = static_cast<int64_t>(state->width) - (count < 0 ? 0 : count);
    return fill > 0 ? static_cast<int32_t>(fill) : 0;
}

struct Writer {
    FormatState* state;
    char* out;
    char* limit;
};

inline Writer writer_begin(FormatState* state) { return Writer{state, state->out, state->limit}; }

// True when bytes more fit before the limit (positions compared unsigned).
inline bool writer_fits(const Writer* w, int32_t bytes) {
    return reinterpret_cast<uintptr_t>(w->out) + static_cast<uint32_t>(bytes) <= reinterpret_cast<uintptr_t>(w->limit);
}

// True when a stretch of bytes fits before the limit as a whole, for any
// length: then every unit in it would have passed its own room test, so
// writing the stretch at once gives what writing it unit by unit gives.
inline bool writer_fits_stretch(const Writer* w, size_t bytes) {
    const uintptr_t out = reinterpret_cast<uintptr_t>(w->out);
    const uintptr_t limit = reinterpret_cast<uintptr_t>(w->limit);
    return out <= limit && bytes <= limit - out;
}

// The bytes of room before the limit; 0 when out is at or past it.
inline uintptr_t writer_room_left(const Writer* w) {
    const uintptr_t out = reinterpret_cast<uintptr_t>(w->out);
    const uintptr_t limit = reinterpret_cast<uintptr_t>(w->limit);
    return out <= limit ? limit - out : 0;
}

// Makes sure a unit of bytes fits at the local position, through make_room
// on a miss; false when the buffer is exhausted.
inline bool writer_room(Writer* w, int32_t bytes) {
    if (writer_fits(w, bytes)) return true;
    char* position = make_room(w->state, w->out, bytes);
    if (position == nullptr) return false;
    w->out = position;
    w->limit = w->state->limit;
    return true;
}

// Stores one byte; the caller has made room.
inline void writer_put_byte(Writer* w, char byte) { *w->out++ = byte; }

// Stores bytes as they are; the caller has made room for all of them. Four
// to 16 bytes take two overlapping moves of a fixed size, one to three
// bytes three single stores (see the README's Performance section).
inline void writer_put_bytes(Writer* w, const char* bytes, size_t n) {
    char* out = w->out;
    if (n > 16) {
        memcpy(out, bytes, n);
    } else if (n >= 8) {
        uint64_t head, tail;
        memcpy(&head, bytes, 8);
        memcpy(&tail, bytes + n - 8, 8);
        memcpy(out, &head, 8);
        memcpy(out + n - 8, &tail, 8);
    } else if (n >= 4) {
        uint32_t head, tail;
        memcpy(&head, bytes, 4);
        memcpy(&tail, bytes + n - 4, 4);
        memcpy(out, &head, 4);
        memcpy(out + n - 4, &tail, 4);
    } else if (n > 0) {
        // One to three bytes: the first, the middle and the last.
        out[0] = bytes[0];
        out[n / 2] = bytes[n / 2];
        out[n - 1] = bytes[n - 1];
    }
    w->out = out + n;
}

// Stores n spaces (n not negative); the caller has made room for all. As
// writer_put_bytes: fixed-size moves up to 16, memset beyond.
inline void writer_put_spaces(Writer* w, int32_t n) {
    char* out = w->out;
    const uint64_t spaces = 0x2020202020202020u;
    if (n > 16) {
        memset(out, ' ', static_cast<size_t>(n));
    } else if (n >= 8) {
        memcpy(out, &spaces, 8);
        memcpy(out + n - 8, &spaces, 8);
    } else if (n >= 4) {
        memcpy(out, &spaces, 4);
        memcpy(out + n - 4, &spaces, 4);
    } else if (n > 0) {
        out[0] = ' ';
        out[n / 2] = ' ';
        out[n - 1] = ' ';
    }
    w->out = out + n;
}

// Stores one Char16 unit in the host's byte order; the caller has made room.
inline void writer_put_unit(Writer* w, Char16 unit) {
    memcpy(w->out, &unit, sizeof unit);
    w->out += sizeof unit;
}

// Writes one character as one output unit: in wide output a Char16 unit
// (room for 2 bytes); in narrow output its UTF-8 form, which is measured
// exactly only when fewer than UTF8_MAX_BYTES of room remain, so that the
// usual case costs one comparison. False when the buffer is exhausted;
// nothing of the character is written then.
inline bool writer_put_char(Writer* w, Char16 c) {
    if (w->state->wide) {
        if (!writer_room(w, 2)) return false;
        writer_put_unit(w, c);
        return true;
    }
    if (!writer_fits(w, UTF8_MAX_BYTES) && !writer_room(w, utf8_char_length(c))) return false;
    if (c < 0x80) {
        writer_put_byte(w, static_cast<char>(c));
    } else {
        w->out += encode_utf8_char(w->out, &c);
    }
    return true;
}

// Writes the UTF-8 form of c, any character up to U+10FFFF, into out, which
// has room for four bytes; returns the bytes written: 1 to 4.
inline int32_t encode_code(char* out, uint32_t c) {
    if (c <= 0xFFFF) {
        const Char16 unit = static_cast<Char16>(c);
        return encode_utf8_char(out, &unit);
    }
    out[0] = static_cast<char>(0xF0 | (c >> 18));
    out[1] = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out[2] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out[3] = static_cast<char>(0x80 | (c & 0x3F));
    return 4;
}

// writer_put_char for any character up to U+10FFFF. One beyond 0xFFFF takes
// four bytes in either form, a surrogate pair in wide output and a four-byte
// sequence in narrow, and room is asked for all four at once, so that it is
// never split: not at the end of the buffer, nor by a hook's room.
inline bool writer_put_code(Writer* w, uint32_t c) {
    if (c <= 0xFFFF) return writer_put_char(w, static_cast<Char16>(c));
    if (!writer_room(w, 4)) return false;
    if (w->state->wide) {
        writer_put_unit(w, static_cast<Char16>(0xD800 + ((c - 0x10000) >> 10)));
        writer_put_unit(w, static_cast<Char16>(0xDC00 + (c & 0x3FF)));
        return true;
    }
    w->out += encode_code(w->out, c);
    return true;
}

// Adds the units written since the state's out to emitted (bytes narrow,
// units wide) and stores the local position in the state.
inline void writer_commit(Writer* w) {
    FormatState* state = w->state;
    int32_t bytes = static_cast<int32_t>(w->out - state->out);
    state->emitted += state->wide ? bytes / 2 : bytes;
    state->out = w->out;
}

// put_utf8_field for a count that the library has made itself, and trusts:
// the characters that lie whole within length, or those of a terminated
// text whose length is its own, where a lead byte before the terminator is
// a malformed byte although the length seems to cut it.
int32_t put_counted_field(FormatState* state, const char* text, int32_t count, int32_t length);

// put_counted_field for a text that re-encodes to itself (ASCII, or UTF-8
// with no malformed byte) and whose count characters take exactly length
// bytes: the same output, and in narrow output, when the fill and the text
// fit together, no unit of either could meet the limit, so one pass writes
// them both. Inline, for the integer and string conversions.
inline int32_t put_verbatim_field(FormatState* state, const char* text, int32_t count, int32_t length) {
    if (state->wide == 0 && capped_count(state, count) == count) {
        const int32_t fill = fill_of(state, count);
        Writer w = writer_begin(state);
        if (writer_fits_stretch(&w, static_cast<size_t>(fill) + static_cast<size_t>(length))) {
            if ((state->flags & FormatFlag::LEFT_ALIGN) != 0) {
                writer_put_bytes(&w, text, static_cast<size_t>(length));
                writer_put_spaces(&w, fill);
            } else {
                writer_put_spaces(&w, fill);
                writer_put_bytes(&w, text, static_cast<size_t>(length));
            }
            writer_commit(&w);
            return 0;
        }
    }
    return put_counted_field(state, text, count, length);
}

}  // namespace bracket
