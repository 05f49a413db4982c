// What one character of a UTF-8 text is, decided in one place for the
// library: the field writers, the literal copy, the spec grammar's verb, the
// field counters, the bounded copy of the error text, and the 16-bit codec
// of format/utf8.h, which takes the same step and reads a four-byte form as
// malformed bytes. Two public counters of format/utf8.h,
// utf8_sequence_complete and utf8_count_chars_bounded, judge completeness by
// the lead byte alone, as they document. Internal to the library; installed
// because the face's spec grammar reads a verb's character with it. Not for
// users.
#pragma once

#include <stddef.h>  // size_t
#include <stdint.h>
#include <string.h>  // memcpy

#include "format/utf8.h"

// The most bytes of one character: a four-byte sequence, which is also the
// room a surrogate pair takes in wide output.
constexpr int32_t TEXT_CHAR_MAX_BYTES = 4;

// One character of a text.
struct TextChar {
    uint32_t value;  // U+0000 to U+10FFFF; MALFORMED_CHAR16 for a malformed byte
    int32_t length;  // its bytes, 1 to 4; a malformed byte is 1
    // The bytes available end inside a well-formed beginning; value and
    // length are then a malformed byte's, which is what a reader that may
    // not drop the character (the 16-bit codec) takes it for.
    bool cut;
};

// The character at text, of which available bytes may be read (at least 1).
// A well-formed sequence of one to four bytes, up to U+10FFFF and encoded
// surrogates included, is one character. Any other byte is one malformed
// character, whatever follows it, so that no text loses more than that
// byte's own value: a lead whose promised bytes meet a byte that is not
// theirs, the terminator included, is one such byte. Only where the
// available bytes stop inside what is, as far as it goes, a well-formed
// beginning is the character cut: a bound then drops it whole. A byte is
// read only after the bytes before it matched, so a scan of a terminated
// text never reads past its terminator; available may then be
// TEXT_CHAR_MAX_BYTES.
#if defined(__GNUC__)
__attribute__((always_inline))
#endif
constexpr TextChar
text_char(const char* text, int32_t available) {
    const uint32_t b0 = static_cast<unsigned char>(text[0]);
    if (b0 < 0x80) return TextChar{b0, 1, false};
    constexpr TextChar MALFORMED = {MALFORMED_CHAR16, 1, false};
    constexpr TextChar CUT = {MALFORMED_CHAR16, 1, true};
    // 80 to BF continue a sequence, C0 and C1 begin only overlong forms,
    // and F5 up would lie above U+10FFFF.
    if (b0 < 0xC2 || b0 > 0xF4) return MALFORMED;
    if (available < 2) return CUT;
    const uint32_t t1 = static_cast<unsigned char>(text[1]) ^ 0x80;
    if (t1 >= 0x40) return MALFORMED;
    if (b0 < 0xE0) return TextChar{(b0 & 0x1F) << 6 | t1, 2, false};
    if (b0 < 0xF0) {
        if (b0 == 0xE0 && t1 < 0x20) return MALFORMED;  // overlong
        if (available < 3) return CUT;
        const uint32_t t2 = static_cast<unsigned char>(text[2]) ^ 0x80;
        if (t2 >= 0x40) return MALFORMED;
        return TextChar{(b0 & 0x0F) << 12 | t1 << 6 | t2, 3, false};
    }
    // After F0 a second byte below 90 is overlong; after F4 one of 90 or
    // more lies above U+10FFFF.
    if ((b0 == 0xF0 && t1 < 0x10) || (b0 == 0xF4 && t1 >= 0x10)) return MALFORMED;
    if (available < 3) return CUT;
    const uint32_t t2 = static_cast<unsigned char>(text[2]) ^ 0x80;
    if (t2 >= 0x40) return MALFORMED;
    if (available < 4) return CUT;
    const uint32_t t3 = static_cast<unsigned char>(text[3]) ^ 0x80;
    if (t3 >= 0x40) return MALFORMED;
    return TextChar{(b0 & 0x07) << 18 | t1 << 12 | t2 << 6 | t3, 4, false};
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
