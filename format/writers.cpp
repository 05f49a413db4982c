// The field writers: fill, UTF-8 text and Char16 text as one field with the
// spec's width, precision and alignment, into narrow or wide output. Every
// unit goes through the writer protocol of writer.h.
#include <stdint.h>
#include <string.h>  // memcpy, strlen

#include "format/detail/text_char.h"
#include "format/detail/writer.h"
#include "format/format.h"
#include "format/utf8.h"

namespace bracket {

namespace {

constexpr char NIL_TEXT[] = "<nil>";
constexpr int32_t NIL_LENGTH = 5;

inline int32_t pad(FormatState* state, int32_t n) {
    if (n <= 0) return 0;  // most fields have no fill: spare the call
    return state->wide ? pad_wide(state, n) : pad_narrow(state, n);
}

inline bool is_high_surrogate(uint32_t unit) { return (unit & 0xFC00) == 0xD800; }
inline bool is_low_surrogate(uint32_t unit) { return (unit & 0xFC00) == 0xDC00; }

// The first units of text to write when a cap cut the count of total
// units down to kept: one fewer when the cap falls inside a surrogate pair,
// which goes whole or not at all.
inline int32_t pair_kept_whole(const Char16* text, int32_t kept, int32_t total) {
    if (kept > 0 && kept < total && is_high_surrogate(text[kept - 1]) && is_low_surrogate(text[kept])) {
        return kept - 1;
    }
    return kept;
}

// The surrogate pairs among the first units of text (none for units <= 0),
// paired from the start as the writer pairs them.
inline int32_t surrogate_pairs(const Char16* text, int32_t units) {
    int32_t pairs = 0;
    for (int32_t i = 0; i + 1 < units; ++i) {
        if (is_high_surrogate(text[i]) && is_low_surrogate(text[i + 1])) {
            ++pairs;
            ++i;
        }
    }
    return pairs;
}

}  // namespace

int32_t pad_narrow(FormatState* state, int32_t n) {
    Writer w = writer_begin(state);
    if (n > 0 && writer_fits_stretch(&w, static_cast<size_t>(n))) {
        // The whole fill fits, so no space of it could have met the limit.
        writer_put_spaces(&w, n);
        writer_commit(&w);
        return 0;
    }
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

namespace {

// The characters of a UTF-8 field, the fill aside: the first count
// characters of text (length bytes readable), re-encoded for the output
// form. The count is one that put_counted_field trusts, so every character
// lies within the length and none is read past it; where the length seems
// to cut one, it is a lead byte before a terminator, which text_char's cut
// result reads as the malformed byte it is. Returns -1 when the room ran
// out.
int32_t put_characters(FormatState* state, const char* text, int32_t count, int32_t length) {
    const char* p = text;
    const char* const end = text + length;
    Writer w = writer_begin(state);
    int32_t i = 0;
    // Divided rather than multiplied, so that no count can wrap a 32-bit size.
    if (!state->wide && count > 0 && static_cast<uintptr_t>(count) <= writer_room_left(&w) / TEXT_CHAR_MAX_BYTES) {
        // Room for every character at its longest, so none can meet the
        // limit and the units need no room test of their own. ASCII goes
        // out eight bytes at a time while eight more characters are due
        // (they lie within the text, whatever they are); a well-formed
        // sequence, which would re-encode to itself, is copied as it
        // stands.
        char* out = w.out;
        while (i < count) {
            if (count - i >= 8) {
                uint64_t word;
                memcpy(&word, p, sizeof word);
                if ((word & 0x8080808080808080u) == 0) {
                    memcpy(out, &word, sizeof word);
                    out += 8;
                    p += 8;
                    i += 8;
                    continue;
                }
            }
            const unsigned char b = static_cast<unsigned char>(*p);
            if (b < 0x80) {
                *out++ = static_cast<char>(b);
                ++p;
            } else {
                const int32_t step = text_char(p, static_cast<int32_t>(end - p)).length;
                if (step == 1) {
                    // A malformed byte is MALFORMED_CHAR16, which encodes as C2 80.
                    out[0] = static_cast<char>(0xC2);
                    out[1] = static_cast<char>(0x80);
                    out += 2;
                } else if (step == 4) {
                    memcpy(out, p, 4);
                    out += 4;
                } else {
                    out[0] = p[0];
                    out[1] = p[1];
                    if (step == 3) out[2] = p[2];
                    out += step;
                }
                p += step;
            }
            ++i;
        }
        w.out = out;
    }
    for (; i < count; ++i) {
        const TextChar c = text_char(p, static_cast<int32_t>(end - p));
        p += c.length;
        if (!writer_put_code(&w, c.value)) return -1;
    }
    writer_commit(&w);
    return 0;
}

// The first characters of text that lie whole within n bytes, no more than
// max_chars of them, and where terminated none from the terminator on: how
// many, and the bytes they take. Reads only those n bytes.
struct TextSpan {
    int32_t chars;
    int32_t bytes;
};
TextSpan text_span(const char* text, int32_t n, int32_t max_chars, bool terminated) {
    TextSpan span{0, 0};
    while (span.chars < max_chars && span.bytes < n) {
        if (terminated && text[span.bytes] == 0) break;
        const TextChar c = text_char(text + span.bytes, n - span.bytes);
        if (c.cut) break;  // dropped whole
        span.bytes += c.length;
        ++span.chars;
    }
    return span;
}

}  // namespace

int32_t put_counted_field(FormatState* state, const char* text, int32_t count, int32_t length) {
    count = capped_count(state, count);
    const int32_t fill = fill_of(state, count);
    const bool left = (state->flags & FormatFlag::LEFT_ALIGN) != 0;
    if (!left && pad(state, fill) < 0) return -1;
    if (put_characters(state, text, count, length) < 0) return -1;
    if (left && pad(state, fill) < 0) return -1;
    return 0;
}

int32_t put_utf8_field(FormatState* state, const char* text, int32_t count, int32_t length) {
    // A caller's count may be more than the text holds, a character that
    // the length cuts among them: the field is the characters there are,
    // and its fill is for those. A terminator within the length is a
    // character like any other here.
    count = text_span(text, length, capped_count(state, count), false).chars;
    return put_counted_field(state, text, count, length);
}

int32_t put_char16_field(FormatState* state, const Char16* text, int32_t count) {
    const int32_t units = pair_kept_whole(text, capped_count(state, count), count);
    // A surrogate pair is one character of the width; with no width the
    // fill is none whatever the count, and the pairs need no counting.
    const int32_t fill = state->width > 0 ? fill_of(state, units - surrogate_pairs(text, units)) : 0;
    const bool left = (state->flags & FormatFlag::LEFT_ALIGN) != 0;
    if (!left && pad(state, fill) < 0) return -1;

    Writer w = writer_begin(state);
    for (int32_t i = 0; i < units; ++i) {
        uint32_t c = text[i];
        if (is_high_surrogate(c) && i + 1 < units && is_low_surrogate(text[i + 1])) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00u);
            ++i;
        }
        if (!writer_put_code(&w, c)) return -1;
    }
    writer_commit(&w);

    if (left && pad(state, fill) < 0) return -1;
    return 0;
}

int32_t count_field_chars(const char* text) {
    int32_t count = 0;
    for (const char* p = text; *p != 0; ++count) p += text_char(p, TEXT_CHAR_MAX_BYTES).length;
    return count;
}

int32_t count_field_chars_bounded(const char* text, int32_t length) {
    return text_span(text, length, INT32_MAX, true).chars;
}

int32_t format_utf8_string(FormatState* state, const char* text) {
    if (text == nullptr) return put_counted_field(state, NIL_TEXT, NIL_LENGTH, NIL_LENGTH);
    if ((state->flags & FormatFlag::PRECISION_SET) != 0) {
        // The precision bounds bytes here; a character it cuts is dropped.
        const TextSpan span = text_span(text, state->precision, INT32_MAX, true);
        return put_counted_field(state, text, span.chars, span.bytes);
    }
    // An ASCII text has as many characters as bytes; past its first other
    // byte each character is counted by its step, and a malformed byte
    // among them means the text does not come out as it is.
    // A short text is measured in the pass that checks it for ASCII; a
    // longer one by strlen, which takes many bytes a step.
    constexpr int32_t SHORT_TEXT = 16;
    int32_t length = 0;
    while (length < SHORT_TEXT && text[length] != 0 && static_cast<unsigned char>(text[length]) < 0x80) ++length;
    int32_t count = length;
    bool well_formed = true;
    if (length == SHORT_TEXT || text[length] != 0) {
        length += static_cast<int32_t>(strlen(text + length));
        count += static_cast<int32_t>(ascii_prefix(text + count, static_cast<size_t>(length - count)));
        for (int32_t at = count; at < length; ++count) {
            const int32_t step = text_char(text + at, TEXT_CHAR_MAX_BYTES).length;
            if (step == 1 && static_cast<unsigned char>(text[at]) >= 0x80) well_formed = false;
            at += step;
        }
    }
    if (well_formed) return put_verbatim_field(state, text, count, length);
    return put_counted_field(state, text, count, length);
}

int32_t format_char16_string(FormatState* state, const Char16* text) {
    if (text == nullptr) return put_counted_field(state, NIL_TEXT, NIL_LENGTH, NIL_LENGTH);
    int32_t count = 0;
    if ((state->flags & FormatFlag::PRECISION_SET) != 0) {
        // The precision bounds units here, and the read too: the text may
        // have no terminator within reach (a view passed with its length).
        // A high surrogate in the last unit that the precision reaches may
        // be half of a pair that the precision cuts, so it goes, even when
        // the terminator follows it (%.1S of a lone high surrogate writes
        // nothing); read whole, without a precision, it stays.
        while (count < state->precision && text[count] != 0) ++count;
        if (count == state->precision && count > 0 && is_high_surrogate(text[count - 1])) --count;
    } else {
        while (text[count] != 0) ++count;
    }
    return put_char16_field(state, text, count);
}

}  // namespace bracket
