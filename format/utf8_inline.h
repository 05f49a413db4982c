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
