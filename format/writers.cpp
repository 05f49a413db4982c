// The field writers: fill, UTF-8 text and Char16 text as one field with the
// spec's width, precision and alignment, into narrow or wide output. Every
// unit goes through the writer protocol of writer.h.
#include <cstdint>

#include "format/format.h"
#include "format/utf8.h"
#include "format/writer.h"

namespace {

constexpr char NIL_TEXT[] = "<nil>";
constexpr int32_t NIL_LENGTH = 5;

// The precision caps the characters of a field.
inline int32_t capped_count(const FormatState* state, int32_t count) {
    if ((state->flags & FormatFlag::PRECISION_SET) != 0 && count > state->precision) {
        return state->precision;
    }
    return count;
}

// The fill is the width minus the count, in characters. A count below 0 (a precision that wrapped negative, from a "*"
// argument of the most negative value) writes no character and takes no position, and the difference is taken without
// overflow, so a negative width writes no fill.
inline int32_t fill_of(const FormatState* state, int32_t count) {
    const int64_t fill = static_cast<int64_t>(state->width) - (count < 0 ? 0 : count);
    return fill > 0 ? static_cast<int32_t>(fill) : 0;
}

inline int32_t pad(FormatState* state, int32_t n) { return state->wide ? pad_wide(state, n) : pad_narrow(state, n); }

}  // namespace

int32_t pad_narrow(FormatState* state, int32_t n) {
    Writer w = writer_begin(state);
    for (int32_t i = 0; i < n; ++i) {
        if (!writer_room(&w, 1)) return -1;  // make_room committed the spaces before
        writer_put_byte(&w, ' ');
    }
    writer_commit(&w);
    return 0;
}

int32_t pad_wide(FormatState* state, int32_t n) {
    Writer w = writer_begin(state);
    for (int32_t i = 0; i < n; ++i) {
        if (!writer_room(&w, 2)) return -1;
        writer_put_unit(&w, ' ');
    }
    writer_commit(&w);
    return 0;
}

int32_t put_utf8_field(FormatState* state, const char* text, int32_t count, int32_t length) {
    count = capped_count(state, count);
    const int32_t fill = fill_of(state, count);
    const bool left = (state->flags & FormatFlag::LEFT_ALIGN) != 0;
    if (!left && pad(state, fill) < 0) return -1;

    const char* p = text;
    const char* const end = text + length;
    Writer w = writer_begin(state);
    for (int32_t i = 0; i < count; ++i) {
        Char16 c;
        const unsigned char b = static_cast<unsigned char>(*p);
        if (b < 0x80) {
            c = b;
            ++p;
        } else {
            const int32_t available = static_cast<int32_t>(end - p);
            // A sequence that the bytes left cannot complete ends the text.
            if (available < UTF8_MAX_BYTES && utf8_sequence_complete(p, available) == 0) break;
            p += decode_utf8_char(&c, p);
        }
        if (!writer_put_char(&w, c)) return -1;
    }
    writer_commit(&w);

    // Only wide output reports a text that was not read to its end.
    if (state->wide && p < end) return -1;
    if (left && pad(state, fill) < 0) return -1;
    return 0;
}

int32_t put_char16_field(FormatState* state, const Char16* text, int32_t count) {
    count = capped_count(state, count);
    const int32_t fill = fill_of(state, count);
    const bool left = (state->flags & FormatFlag::LEFT_ALIGN) != 0;
    if (!left && pad(state, fill) < 0) return -1;

    Writer w = writer_begin(state);
    for (int32_t i = 0; i < count; ++i) {
        if (!writer_put_char(&w, text[i])) return -1;
    }
    writer_commit(&w);

    if (left && pad(state, fill) < 0) return -1;
    return 0;
}

int32_t format_utf8_string(FormatState* state, const char* text) {
    if (text == nullptr) return put_utf8_field(state, NIL_TEXT, NIL_LENGTH, NIL_LENGTH);
    int32_t length = 0;
    int32_t count;
    if ((state->flags & FormatFlag::PRECISION_SET) != 0) {
        // The precision bounds bytes here; count what lies whole within them.
        while (length < state->precision && text[length] != 0) ++length;
        count = utf8_count_chars_bounded(text, static_cast<uint32_t>(length));
    } else {
        while (text[length] != 0) ++length;
        count = utf8_count_chars(text);
    }
    return put_utf8_field(state, text, count, length);
}

int32_t format_char16_string(FormatState* state, const Char16* text) {
    if (text == nullptr) return put_utf8_field(state, NIL_TEXT, NIL_LENGTH, NIL_LENGTH);
    int32_t count = 0;
    if ((state->flags & FormatFlag::PRECISION_SET) != 0) {
        while (count < state->precision && text[count] != 0) ++count;
    } else {
        while (text[count] != 0) ++count;
    }
    return put_char16_field(state, text, count);
}
