// UTF-8 and UTF-16, converted both ways for the system calls that take
// 16-bit text. The pair keeps every name the system can hold: a lone
// surrogate travels as its three-byte form, which the formatting library's
// codec reads back as the same unit, so a name holding one is still found.
// Part of the platform layer; not installed.
#pragma once

#include <stdint.h>

namespace bracket {

// Converts length bytes of UTF-8 to UTF-16 in out, which holds capacity
// units, and terminates it; returns the units written before the
// terminator, or -1 when they and the terminator do not fit. A malformed
// byte becomes U+0080, as everywhere in the system.
int32_t platform_utf16_of_utf8(const char* text, int32_t length, char16_t* out, int32_t capacity);

// Converts length units of UTF-16 to UTF-8 in out, which holds capacity
// bytes, and terminates it; returns the bytes written before the
// terminator, or -1 when they and the terminator do not fit. A surrogate
// pair becomes one four-byte character, a lone surrogate its three-byte form.
int32_t platform_utf8_of_utf16(const char16_t* text, int32_t length, char* out, int32_t capacity);

}  // namespace bracket
