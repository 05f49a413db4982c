// What one character of a UTF-8 text is, decided in one place for the whole
// system: the platform's UTF-16 pair and, through format/detail/text_char.h,
// every reader of the formatting library. A leaf: it includes nothing of the
// project, so the lowest layer can use it. Not installed.
#pragma once

#include <stdint.h>

namespace bracket {

// The most bytes of one character: a four-byte sequence, which is also the
// room a surrogate pair takes in wide output.
constexpr int32_t TEXT_CHAR_MAX_BYTES = 4;

// The value a malformed byte stands for (U+0080, the value of C2 80; the
// length, 1, tells them apart).
constexpr uint32_t TEXT_CHAR_MALFORMED = 0x80;

// One character of a text.
struct TextChar {
    uint32_t value;  // U+0000 to U+10FFFF; TEXT_CHAR_MALFORMED for a malformed byte
    int32_t length;  // its bytes, 1 to 4; a malformed byte is 1
    // The bytes available end inside a well-formed beginning; value and
    // length are then a malformed byte's, which is what a reader that may
    // not drop the character (the 16-bit codec, the UTF-16 pair) takes it for.
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
inline TextChar
text_char(const char* text, int32_t available) {
    const uint32_t b0 = static_cast<unsigned char>(text[0]);
    if (b0 < 0x80) return TextChar{b0, 1, false};
    constexpr TextChar MALFORMED = {TEXT_CHAR_MALFORMED, 1, false};
    constexpr TextChar CUT = {TEXT_CHAR_MALFORMED, 1, true};
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

}  // namespace bracket
