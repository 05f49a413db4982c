// The character codec: UTF-8 of one to three bytes and 16-bit units. It
// decodes by the library's one step (detail/text_char.h) told that three
// bytes are there, so that a four-byte form is cut and read as malformed
// bytes, one at a time.
#include "format/utf8.h"

#include <stdint.h>

#include "format/detail/text_char.h"

namespace bracket {

int32_t decode_utf8_char(Char16* value, const char* text) {
    const TextChar c = text_char(text, UTF8_MAX_BYTES);
    *value = static_cast<Char16>(c.value);
    return c.length;
}

int32_t encode_utf8_char(char* buffer, const Char16* value) {
    const uint32_t v = *value;
    if (v < 0x80) {
        buffer[0] = static_cast<char>(v);
        return 1;
    }
    if (v < 0x800) {
        buffer[0] = static_cast<char>(0xC0 + (v >> 6));
        buffer[1] = static_cast<char>(0x80 + (v & 0x3F));
        return 2;
    }
    buffer[0] = static_cast<char>(0xE0 + (v >> 12));
    buffer[1] = static_cast<char>(0x80 + ((v >> 6) & 0x3F));
    buffer[2] = static_cast<char>(0x80 + (v & 0x3F));
    return 3;
}

int32_t utf8_char_length(int32_t value) {
    if (value < 0x80) return 1;
    if (value < 0x800) return 2;
    return 3;
}

int32_t utf8_units_length(const Char16* units, int32_t count) {
    int32_t total = 0;
    for (int32_t i = 0; i < count; ++i) total += utf8_char_length(units[i]);
    return total;
}

int32_t utf8_sequence_complete(const char* text, int32_t n) {
    if (n <= 0) return 0;  // nothing is read
    const uint32_t b0 = static_cast<unsigned char>(text[0]);
    int32_t required = 3;
    if (b0 < 0x80) {
        required = 1;
    } else if (b0 < 0xE0) {
        required = 2;
    }
    return n >= required ? 1 : 0;
}

int32_t utf8_count_chars(const char* text) {
    int32_t count = 0;
    Char16 ignored;
    for (const char* p = text; *p != 0; ++count) p += decode_utf8_char(&ignored, p);
    return count;
}

int32_t utf8_count_chars_bounded(const char* text, uint32_t n) {
    // The bytes left before text + n are kept as a count rather than as an
    // end pointer, so that a bound larger than the text cannot wrap.
    int32_t count = 0;
    const char* p = text;
    uint32_t left = n;
    while (left > 0) {
        if (*p == 0) break;
        uint32_t step = 1;
        if (static_cast<unsigned char>(*p) >= 0x80) {
            const int32_t avail =
                left > static_cast<uint32_t>(UTF8_MAX_BYTES) ? UTF8_MAX_BYTES : static_cast<int32_t>(left);
            if (utf8_sequence_complete(p, avail) == 0) break;
            Char16 ignored;
            step = static_cast<uint32_t>(decode_utf8_char(&ignored, p));
        }
        p += step;
        left -= step;
        ++count;
    }
    return count;
}

}  // namespace bracket
