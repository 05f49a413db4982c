// The text conversions: the handlers of the verbs "c", "C", "s", "S", "%" and
// "n", of the flag characters, and of a verb without a handler.
#include <stdarg.h>
#include <stdint.h>

#include "format/detail/text_char.h"  // TEXT_CHAR_MAX_BYTES
#include "format/format.h"
#include "format/utf8.h"

namespace bracket {

int32_t convert_char(FormatState* state) {
    const int value = va_arg(state->args, int);
    // The byte with a terminator after it: one of 0x80 or more is then a
    // malformed byte, U+0080, rather than a sequence that its length cuts.
    const char text[2] = {static_cast<char>(value & 0xFF), '\0'};
    // The precision becomes 1, so a precision in the spec never hides it.
    state->precision = 1;
    return put_utf8_field(state, text, 1, 2);
}

int32_t convert_char16(FormatState* state) {
    const int value = va_arg(state->args, int);
    const Char16 unit = static_cast<Char16>(value & 0xFFFF);
    // The precision stays: %.0C writes only the fill.
    return put_char16_field(state, &unit, 1);
}

int32_t convert_string(FormatState* state) {
    const char* text = va_arg(state->args, const char*);
    return format_utf8_string(state, text);
}

int32_t convert_string16(FormatState* state) {
    const Char16* text = va_arg(state->args, const Char16*);
    return format_char16_string(state, text);
}

int32_t convert_percent(FormatState* state) {
    // The text is the character that selected this handler.
    const Char16 unit = static_cast<Char16>(state->verb);
    state->precision = 1;
    return put_char16_field(state, &unit, 1);
}

int32_t convert_count(FormatState* state) {
    const int32_t count = state->emitted;
    const uint32_t flags = state->flags;
    // As for the integer verbs: "ll" is 64 bits, "l" 32 as no flag is and
    // wins over "h" ("hl"), "hh" also sets SHORT. A null pointer is taken and
    // stores nothing.
    if ((flags & FormatFlag::LONG_LONG) != 0) {
        int64_t* target = va_arg(state->args, int64_t*);
        if (target != nullptr) *target = count;
    } else if ((flags & FormatFlag::LONG) != 0 || (flags & (FormatFlag::BYTE | FormatFlag::SHORT)) == 0) {
        int32_t* target = va_arg(state->args, int32_t*);
        if (target != nullptr) *target = count;
    } else if ((flags & FormatFlag::BYTE) != 0) {
        int8_t* target = va_arg(state->args, int8_t*);
        if (target != nullptr) *target = static_cast<int8_t>(static_cast<uint8_t>(count & 0xFF));
    } else {
        int16_t* target = va_arg(state->args, int16_t*);
        if (target != nullptr) *target = static_cast<int16_t>(static_cast<uint16_t>(count & 0xFFFF));
    }
    return 0;
}

int32_t convert_flag(FormatState* state) {
    uint32_t& flags = state->flags;
    switch (state->verb) {
        case ' ': flags |= FormatFlag::SPACE_SIGN; break;
        case '#': flags |= FormatFlag::ALTERNATE; break;
        case '+': flags |= FormatFlag::PLUS_SIGN; break;
        case ',': flags |= FormatFlag::GROUP_DIGITS; break;
        case '-': flags |= FormatFlag::LEFT_ALIGN; break;
        case 'h':
            if ((flags & FormatFlag::SHORT) != 0) flags |= FormatFlag::BYTE;
            flags |= FormatFlag::SHORT;
            break;
        case 'l':
            if ((flags & FormatFlag::LONG) != 0) flags |= FormatFlag::LONG_LONG;
            flags |= FormatFlag::LONG;
            break;
        case 'u': flags |= FormatFlag::UNSIGNED; break;
        default: break;
    }
    return 1;
}

int32_t convert_bad_verb(FormatState* state) {
    // The marker "%", the verb's own character whole, "%": the verb reads
    // as the user wrote it (a malformed byte as U+0080).
    char marker[2 + TEXT_CHAR_MAX_BYTES];
    marker[0] = '%';
    const uint32_t c = state->verb;
    int32_t length = 1;
    if (c < 0x80) {
        marker[length++] = static_cast<char>(c);
    } else if (c < 0x800) {
        marker[length++] = static_cast<char>(0xC0 | (c >> 6));
        marker[length++] = static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        marker[length++] = static_cast<char>(0xE0 | (c >> 12));
        marker[length++] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        marker[length++] = static_cast<char>(0x80 | (c & 0x3F));
    } else {
        marker[length++] = static_cast<char>(0xF0 | ((c >> 18) & 0x07));
        marker[length++] = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        marker[length++] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        marker[length++] = static_cast<char>(0x80 | (c & 0x3F));
    }
    marker[length++] = '%';
    state->precision = 3;
    // A full buffer is not reported: the run goes on with the format.
    (void)put_utf8_field(state, marker, 3, length);
    return 0;
}

}  // namespace bracket
