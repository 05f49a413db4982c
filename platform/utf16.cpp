// The UTF-8 and UTF-16 pair of the platform layer. UTF-8 is read by the
// system's one step (utf8_char.h), so a name means here what it means to the
// formatting library: a byte that begins no whole sequence is one U+0080.
#include "platform/utf16.h"

#include "platform/utf8_char.h"

namespace bracket {

namespace {
// By length in bytes: its lead's marker.
constexpr unsigned char LEAD_OF_LENGTH[] = {0, 0, 0xC0, 0xE0, 0xF0};
}  // namespace

int32_t platform_utf16_of_utf8(const char* text, int32_t length, char16_t* out, int32_t capacity) {
    const char* in = text;
    const char* end = text + length;
    int32_t written = 0;
    while (in != end) {
        // A cut character is a malformed byte here: a name is never shortened.
        TextChar c = text_char(in, static_cast<int32_t>(end - in));
        in += c.length;
        uint32_t value = c.value;
        int32_t units = value > 0xFFFF ? 2 : 1;
        if (capacity - written <= units) return -1;
        if (units == 2) {
            value -= 0x10000;
            out[written++] = static_cast<char16_t>(0xD800 | value >> 10);
            value = 0xDC00 | (value & 0x3FF);
        }
        out[written++] = static_cast<char16_t>(value);
    }
    if (capacity <= written) return -1;
    out[written] = u'\0';
    return written;
}

int32_t platform_utf8_of_utf16(const char16_t* text, int32_t length, char* out, int32_t capacity) {
    int32_t written = 0;
    for (int32_t i = 0; i < length; ++i) {
        uint32_t value = text[i];
        if (value >= 0xD800 && value < 0xDC00 && i + 1 < length && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000)
            value = 0x10000 + ((value - 0xD800) << 10 | (text[++i] - 0xDC00));
        int32_t bytes = value < 0x80 ? 1 : value < 0x800 ? 2 : value < 0x10000 ? 3 : 4;
        if (capacity - written <= bytes) return -1;
        if (bytes == 1) {
            out[written++] = static_cast<char>(value);
            continue;
        }
        out[written] = static_cast<char>(LEAD_OF_LENGTH[bytes] | value >> (6 * (bytes - 1)));
        for (int32_t k = 1; k < bytes; ++k)
            out[written + k] = static_cast<char>(0x80 | (value >> (6 * (bytes - 1 - k)) & 0x3F));
        written += bytes;
    }
    if (capacity <= written) return -1;
    out[written] = '\0';
    return written;
}

}  // namespace bracket
