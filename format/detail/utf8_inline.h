// The codec's decoding step, inline for the library's own scanning loops,
// which run it once per character and often want only the length it
// consumes (the value then costs nothing). decode_utf8_char is this same
// step. Internal to the library.
#pragma once

#include <stddef.h>  // size_t
#include <stdint.h>
#include <string.h>  // memcpy

#include "format/utf8.h"

namespace utf8_detail {

inline uint32_t byte_at(const char* text, int32_t index) { return static_cast<unsigned char>(text[index]); }

// A malformed byte stands for one character of its own, whatever follows it,
// so that the next decode starts at the very next byte.
inline int32_t malformed(Char16* value) {
    *value = MALFORMED_CHAR16;
    return 1;
}

}  // namespace utf8_detail

// decode_utf8_char itself: stores the character at text into *value and
// returns the bytes consumed, 1, 2 or 3.
inline int32_t decode_utf8_inline(Char16* value, const char* text) {
    const uint32_t b0 = utf8_detail::byte_at(text, 0);
    if (b0 < 0x80) {
        // Single byte, the terminator included.
        *value = static_cast<Char16>(b0);
        return 1;
    }
    // The second byte is read for every lead of 0x80 or more.
    const uint32_t t1 = utf8_detail::byte_at(text, 1) ^ 0x80;
    if (t1 >= 0x40) return utf8_detail::malformed(value);  // not a continuation byte: read no further
    if (b0 < 0xE0) {
        if (b0 < 0xC0) return utf8_detail::malformed(value);  // a continuation byte in lead position
        const uint32_t v = ((b0 << 6) | t1) & 0x7FF;
        if (v < 0x80) return utf8_detail::malformed(value);  // overlong: C0, C1
        *value = static_cast<Char16>(v);
        return 2;
    }
    // The third byte is read only after a continuation byte in second place.
    const uint32_t t2 = utf8_detail::byte_at(text, 2) ^ 0x80;
    if (t2 >= 0x40) return utf8_detail::malformed(value);
    if (b0 >= 0xF0) return utf8_detail::malformed(value);  // no four-byte forms, judged only here
    const uint32_t v = ((b0 << 12) | (t1 << 6) | t2) & 0xFFFF;
    if (v < 0x800) return utf8_detail::malformed(value);  // overlong: E0 with a second byte below A0
    *value = static_cast<Char16>(v);
    return 3;
}

// ---- Beyond 16 bits ----
// The codec above stops at 0xFFFF. The field writers and the literal copy
// also take the four-byte forms whole (a lead F0 to F4, three continuation
// bytes, U+10000 to U+10FFFF), so that such a character reaches the output
// as one character: unchanged in narrow output, a surrogate pair in wide.
// Everything else is still decoded by the 16-bit step, so malformed bytes
// come out as they always did.

// The most bytes of one character here: a four-byte sequence, or a
// surrogate pair in wide output.
constexpr int32_t TEXT_CHAR_MAX_BYTES = 4;

// How many of the first n bytes at text (n at least 1; at most four are
// looked at) follow a well-formed four-byte sequence: 4 for a whole one,
// fewer where the bytes stop matching, 0 when text has no four-byte lead.
// A byte is read only after the bytes before it matched, so a scan never
// reads past a terminator.
inline int32_t four_byte_match(const char* text, int32_t n) {
    const uint32_t b0 = utf8_detail::byte_at(text, 0);
    if (b0 < 0xF0 || b0 > 0xF4) return 0;
    if (n < 2) return 1;
    // After F0 a second byte below 90 is overlong; after F4 one of 90 or
    // more lies above U+10FFFF.
    const uint32_t b1 = utf8_detail::byte_at(text, 1);
    if (b1 < (b0 == 0xF0 ? 0x90u : 0x80u) || b1 > (b0 == 0xF4 ? 0x8Fu : 0xBFu)) return 1;
    if (n < 3) return 2;
    if ((utf8_detail::byte_at(text, 2) & 0xC0) != 0x80) return 2;
    if (n < 4) return 3;
    if ((utf8_detail::byte_at(text, 3) & 0xC0) != 0x80) return 3;
    return 4;
}

// The value of the well-formed four-byte sequence at text.
inline uint32_t four_byte_value(const char* text) {
    return (utf8_detail::byte_at(text, 0) & 0x07) << 18 | (utf8_detail::byte_at(text, 1) & 0x3F) << 12 |
           (utf8_detail::byte_at(text, 2) & 0x3F) << 6 | (utf8_detail::byte_at(text, 3) & 0x3F);
}

// One character of a text with a terminator, as the field writers take it:
// stores it into *value and returns its bytes, 4 for a well-formed
// four-byte sequence, else what the 16-bit decode steps over. The
// terminator stops the four-byte match, so this reads no further.
inline int32_t field_char_step(uint32_t* value, const char* text) {
    Char16 c;
    const int32_t step = decode_utf8_inline(&c, text);
    if (step == 1 && four_byte_match(text, TEXT_CHAR_MAX_BYTES) == TEXT_CHAR_MAX_BYTES) {
        *value = four_byte_value(text);
        return TEXT_CHAR_MAX_BYTES;
    }
    *value = c;
    return step;
}

// One step of the field writers over a counted text, at a byte of 0x80 or
// more with available bytes left (at least 1): stores the character into
// *value and returns the bytes it takes, 1 to 4; or returns 0 when the
// sequence there is cut short by the end of the text, which then ends. A
// four-byte lead is judged by the bytes that follow it (a character cut
// anywhere inside is dropped whole, while bytes that could not complete one
// stay malformed bytes); any other lead by itself, as the codec's
// utf8_sequence_complete judges it.
inline int32_t text_step(uint32_t* value, const char* text, int32_t available) {
    if (utf8_detail::byte_at(text, 0) >= 0xF0) {
        const int32_t matched = four_byte_match(text, available < 4 ? available : 4);
        if (matched == 4) {
            *value = four_byte_value(text);
            return 4;
        }
        if (matched == available) return 0;
    }
    if (available < UTF8_MAX_BYTES && utf8_sequence_complete(text, available) == 0) return 0;
    Char16 c;
    const int32_t length = decode_utf8_inline(&c, text);
    *value = c;
    return length;
}

// Returns how many of the first n bytes at text lie below 0x80 before the
// first that does not, eight at a time. Reads only those n bytes.
inline size_t ascii_prefix(const char* text, size_t n) {
    size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        uint64_t word;
        memcpy(&word, text + i, sizeof word);
        if ((word & 0x8080808080808080u) != 0) break;
    }
    while (i < n && static_cast<unsigned char>(text[i]) < 0x80) ++i;
    return i;
}
