// The writer protocol, in one place. Every routine that writes output (the
// literal copy of the format loop and the field writers) keeps the write
// position and the limit in locals, tests room per unit against the local
// limit, asks make_room only on a miss, and commits once per stretch.
// Internal to the library.
#pragma once

#include <cstdint>
#include <cstring>  // memcpy

#include "format/format.h"

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

// Adds the units written since the state's out to emitted (bytes narrow,
// units wide) and stores the local position in the state.
inline void writer_commit(Writer* w) {
    FormatState* state = w->state;
    int32_t bytes = static_cast<int32_t>(w->out - state->out);
    state->emitted += state->wide ? bytes / 2 : bytes;
    state->out = w->out;
}
