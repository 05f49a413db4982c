// The codec's rules written apart from it, for the unit tests and the codec
// fuzz target to hold format/utf8.cpp to.
#pragma once

#include <cstddef>
#include <cstdint>

#include "format/utf8.h"

using namespace bracket;

namespace utf8_reference {

inline bool is_continuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// UTF-8 of one to four bytes, the value up to U+10FFFF, encoded surrogates
// allowed, MALFORMED_CHAR16 and one byte for anything else: what the field
// writers take as one character. Reads a byte only after the bytes before
// it continued the sequence, so never past a terminator.
inline int32_t decode_full(const unsigned char* text, uint32_t* value) {
    const unsigned b0 = text[0];
    *value = MALFORMED_CHAR16;
    if (b0 < 0x80) {
        *value = b0;
        return 1;
    }
    if (!is_continuation(text[1])) return 1;
    if (b0 >= 0xC2 && b0 < 0xE0) {
        *value = (b0 & 0x1F) << 6 | (text[1] & 0x3F);
        return 2;
    }
    if (b0 < 0xE0 || b0 > 0xF4 || !is_continuation(text[2])) return 1;
    if (b0 < 0xF0) {
        const unsigned v = (b0 & 0x0F) << 12 | (text[1] & 0x3Fu) << 6 | (text[2] & 0x3Fu);
        if (v < 0x800) return 1;  // overlong
        *value = v;
        return 3;
    }
    if (!is_continuation(text[3])) return 1;
    const unsigned v = (b0 & 0x07) << 18 | (text[1] & 0x3Fu) << 12 | (text[2] & 0x3Fu) << 6 | (text[3] & 0x3Fu);
    if (v < 0x10000 || v > 0x10FFFF) return 1;  // overlong, or beyond Unicode
    *value = v;
    return 4;
}

// decode_utf8_char, the 16-bit codec: the same without the four-byte forms,
// whose lead byte is one malformed byte there.
inline int32_t decode(const unsigned char* text, Char16* value) {
    // Nothing after a four-byte lead is read: the tests hand this decoder
    // every three-byte text with no terminator after it.
    if (text[0] >= 0xF0) {
        *value = MALFORMED_CHAR16;
        return 1;
    }
    uint32_t full;
    const int32_t length = decode_full(text, &full);
    *value = static_cast<Char16>(full);
    return length;
}

// True when the n bytes at text (n at least 1) begin, as far as they go, a
// well-formed sequence longer than n: a character that a bound of n bytes
// cuts.
inline bool cut_by(const unsigned char* text, int32_t n) {
    const unsigned b0 = text[0];
    const int32_t length = b0 >= 0xC2 && b0 <= 0xDF   ? 2
                           : b0 >= 0xE0 && b0 <= 0xEF ? 3
                           : b0 >= 0xF0 && b0 <= 0xF4 ? 4
                                                      : 0;
    if (n >= length) return false;
    if (n >= 2) {
        const unsigned low = b0 == 0xE0 ? 0xA0 : b0 == 0xF0 ? 0x90 : 0x80, high = b0 == 0xF4 ? 0x8F : 0xBF;
        if (text[1] < low || text[1] > high) return false;
    }
    return n < 3 || is_continuation(text[2]);
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
