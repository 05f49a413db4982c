// The UTF-8 and UTF-16 pair of the platform layer. It sits below the
// formatting library and cannot use that library's codec, so it reads UTF-8
// by the same rules: one to four bytes, no overlong forms, nothing above
// U+10FFFF, and U+0080 for each byte that does not begin a whole sequence.
#include "platform/utf16.h"

namespace bracket {

namespace {
constexpr char16_t MALFORMED = 0x80;
// By length in bytes: the least value of that length, and its lead's marker.
constexpr uint32_t LEAST_OF_LENGTH[] = {0, 0, 0x80, 0x800, 0x10000};
constexpr unsigned char LEAD_OF_LENGTH[] = {0, 0, 0xC0, 0xE0, 0xF0};

bool continuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// The character at text[0], of the bytes up to end; *bytes says how many it
// took. Surrogates in their three-byte form decode to themselves.
uint32_t decode(const unsigned char* text, const unsigned char* end, int32_t* bytes) {
    unsigned char lead = text[0];
    *bytes = 1;
    if (lead < 0x80) return lead;
    int32_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 ? 2 : 0;
    if (length == 0 || lead > 0xF4 || end - text < length) return MALFORMED;
    uint32_t value = lead & (0x7F >> length);
    for (int32_t i = 1; i < length; ++i) {
        if (!continuation(text[i])) return MALFORMED;
        value = value << 6 | (text[i] & 0x3F);
    }
    // The shortest form only, and no value above U+10FFFF.
    if (value < LEAST_OF_LENGTH[length] || value > 0x10FFFF) return MALFORMED;
    *bytes = length;
    return value;
}
}  // namespace

int32_t platform_utf16_of_utf8(const char* text, int32_t length, char16_t* out, int32_t capacity) {
    const unsigned char* in = reinterpret_cast<const unsigned char*>(text);
    const unsigned char* end = in + length;
    int32_t written = 0;
    while (in != end) {
        int32_t bytes;
        uint32_t value = decode(in, end, &bytes);
        in += bytes;
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
