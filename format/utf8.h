// The formatting library's character codec: UTF-8 of one to three bytes
// (values 0 to 0xFFFF) and 16-bit character units. Decoding never fails: a
// byte that begins no well-formed sequence decodes to MALFORMED_CHAR16 and
// consumes one byte, so every scan advances.
// This is the 16-bit codec: the field writers, the format loop's verbs, and
// count_field_chars in format/format.h also take four-byte forms whole.
#pragma once

// The libraries' interface is C++17 with C-style functions.
#if !defined(__cplusplus)
#error "the bracket libraries' headers are C++17: compile as C++ (-std=c++17)"
#elif __cplusplus < 201703L && !(defined(_MSVC_LANG) && _MSVC_LANG >= 201703L)
#error "the bracket libraries' headers need C++17 or later (-std=c++17)"
#endif

#include <stdint.h>

namespace bracket {

// One 16-bit character unit. The codec gives no value a special meaning; the
// field writers join a high and a low surrogate into one character.
using Char16 = uint16_t;

// What decoding yields for a malformed byte (equal to the value of C2 80; the
// length consumed, 1, tells them apart).
constexpr Char16 MALFORMED_CHAR16 = 0x80;

// The most bytes one decode reads and one encode writes.
constexpr int32_t UTF8_MAX_BYTES = 3;

// Stores the character at text into *value and returns the bytes consumed:
// 1, 2 or 3. Never reads past a byte that is not a continuation byte.
int32_t decode_utf8_char(Char16* value, const char* text);

// Writes the UTF-8 form of *value (no terminator) into buffer, which has room
// for 3 bytes; returns the bytes written: 1, 2 or 3.
int32_t encode_utf8_char(char* buffer, const Char16* value);

// Returns the bytes encode_utf8_char writes for value: 1, 2 or 3.
int32_t utf8_char_length(int32_t value);

// Returns the total UTF-8 length of count units (count not negative).
int32_t utf8_units_length(const Char16* units, int32_t count);

// Returns 1 when the sequence led by *text lies whole within n bytes, judged
// by the lead byte alone; 0 otherwise, and 0 without reading for n <= 0.
int32_t utf8_sequence_complete(const char* text, int32_t n);

// Returns the characters before the terminator; a malformed byte counts one.
int32_t utf8_count_chars(const char* text);

// Returns the characters that lie whole within the first n bytes, stopping
// at a terminator or at a sequence that the bytes left cannot complete.
int32_t utf8_count_chars_bounded(const char* text, uint32_t n);

}  // namespace bracket
