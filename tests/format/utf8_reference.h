// The codec's rules written apart from it, for the unit tests and the codec
// fuzz target to hold format/utf8.cpp to.
#pragma once

#include <cstddef>
#include <cstdint>

#include "format/utf8.h"

namespace utf8_reference {

inline bool is_continuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// decode_utf8_char: UTF-8 of one to three bytes, encoded surrogates allowed,
// MALFORMED_CHAR16 and one byte for anything else. Reads only what a decoder
// may read: the second byte for a lead of 0x80 or more, the third only after
// a continuation byte in second place.
inline int32_t decode(const unsigned char* text, Char16* value) {
    const unsigned b0 = text[0];
    *value = MALFORMED_CHAR16;
    if (b0 < 0x80) {
        *value = static_cast<Char16>(b0);
        return 1;
    }
    if (!is_continuation(text[1])) return 1;
    if (b0 >= 0xC2 && b0 < 0xE0) {
        *value = static_cast<Char16>((b0 & 0x1F) << 6 | (text[1] & 0x3F));
        return 2;
    }
    if (b0 < 0xE0 || b0 >= 0xF0 || !is_continuation(text[2])) return 1;
    const unsigned v = (b0 & 0x0F) << 12 | (text[1] & 0x3Fu) << 6 | (text[2] & 0x3Fu);
    if (v < 0x800) return 1;  // overlong
    *value = static_cast<Char16>(v);
    return 3;
}

// The bytes utf8_sequence_complete needs for a lead byte.
inline int32_t required_bytes(unsigned char lead) { return lead < 0x80 ? 1 : lead < 0xE0 ? 2 : 3; }

// utf8_count_chars_bounded: whole decode steps within n bytes, up to the
// terminator or a lead byte that needs more bytes than are left.
inline int32_t count_bounded(const unsigned char* text, size_t n) {
    int32_t count = 0;
    size_t at = 0;
    while (at < n && text[at] != 0) {
        if (text[at] >= 0x80) {
            if (n - at < static_cast<size_t>(required_bytes(text[at]))) break;
            Char16 ignored;
            at += static_cast<size_t>(decode(text + at, &ignored));
        } else {
            ++at;
        }
        ++count;
    }
    return count;
}

}  // namespace utf8_reference
