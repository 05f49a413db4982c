// The text conversions: the handlers of the verbs "c", "C", "s", "S", "%" and
// "n", of the flag characters, and of a verb without a handler.
#include <stdarg.h>
#include <stdint.h>

#include "format/detail/spec_grammar.h"  // view_bound
#include "format/detail/verb_table.h"
#include "format/format.h"
#include "format/utf8.h"

using bracket::detail::put_char16_value;
using bracket::detail::put_char_value;
using bracket::detail::put_count_value;

int32_t convert_char(FormatState* state) {
    return put_char_value(state, static_cast<uint32_t>(va_arg(state->args, int)), -1);
}

int32_t bracket::detail::put_char_value(FormatState* state, uint64_t bits, int32_t) {
    // The byte with a terminator after it: one of 0x80 or more is then a
    // malformed byte, U+0080, rather than a sequence that its length cuts.
    const char text[2] = {static_cast<char>(bits & 0xFF), '\0'};
    // The precision becomes 1, so a precision in the spec never hides it.
    state->precision = 1;
    return put_utf8_field(state, text, 1, 2);
}

int32_t convert_char16(FormatState* state) {
    return put_char16_value(state, static_cast<uint32_t>(va_arg(state->args, int)), -1);
}

int32_t bracket::detail::put_char16_value(FormatState* state, uint64_t bits, int32_t) {
    const Char16 unit = static_cast<Char16>(bits & 0xFFFF);
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

namespace {

// A view's text is read no further than its bound, as a precision reads.
void bound_view(FormatState* state, int32_t length) {
    if (length < 0) return;
    state->precision = bracket::detail::view_bound(state->flags, state->precision, length);
    state->flags |= FormatFlag::WIDTH_SET | FormatFlag::PRECISION_SET;
}

}  // namespace

int32_t bracket::detail::put_string_value(FormatState* state, uint64_t bits, int32_t length) {
    bound_view(state, length);
    return format_utf8_string(state, reinterpret_cast<const char*>(static_cast<uintptr_t>(bits)));
}

int32_t bracket::detail::put_string16_value(FormatState* state, uint64_t bits, int32_t length) {
    bound_view(state, length);
    return format_char16_string(state, reinterpret_cast<const Char16*>(static_cast<uintptr_t>(bits)));
}

int32_t bracket::detail::put_percent_value(FormatState* state, uint64_t, int32_t) { return convert_percent(state); }

int32_t bracket::detail::put_error_text_value(FormatState* state, uint64_t, int32_t) {
    return convert_error_text(state);
}

int32_t convert_percent(FormatState* state) {
    // The text is the character that selected this handler.
    const Char16 unit = static_cast<Char16>(state->verb);
    state->precision = 1;
    return put_char16_field(state, &unit, 1);
}

int32_t convert_count(FormatState* state) {
    // The target's type follows the length flags; every object pointer
    // passes alike through C variadic arguments on the targets built for,
    // so it is taken as void* and stored through by the flags.
    return put_count_value(state, reinterpret_cast<uintptr_t>(va_arg(state->args, void*)), -1);
}

int32_t bracket::detail::put_count_value(FormatState* state, uint64_t bits, int32_t) {
    void* target = reinterpret_cast<void*>(static_cast<uintptr_t>(bits));
    const int32_t count = state->emitted;
    const uint32_t flags = state->flags;
    // As for the integer verbs: "ll" is 64 bits, "l" 32 as no flag is and
    // wins over "h" ("hl"), "hh" also sets SHORT. A null pointer is taken and
    // stores nothing.
    if (target == nullptr) return 0;
    if ((flags & FormatFlag::LONG_LONG) != 0) {
        *static_cast<int64_t*>(target) = count;
    } else if ((flags & FormatFlag::LONG) != 0 || (flags & (FormatFlag::BYTE | FormatFlag::SHORT)) == 0) {
        *static_cast<int32_t*>(target) = count;
    } else if ((flags & FormatFlag::BYTE) != 0) {
        *static_cast<int8_t*>(target) = static_cast<int8_t>(static_cast<uint8_t>(count & 0xFF));
    } else {
        *static_cast<int16_t*>(target) = static_cast<int16_t>(static_cast<uint16_t>(count & 0xFFFF));
    }
    return 0;
}

int32_t convert_flag(FormatState* state) {
    // Under a code that is no flag character it sets nothing.
    const int32_t row = bracket::detail::builtin_verb_row(state->verb);
    if (row >= 0) state->flags = bracket::detail::with_flag(bracket::detail::BUILTIN_VERBS[row], state->flags);
    return 1;
}

int32_t convert_bad_verb(FormatState* state) {
    // The marker "%", the verb's low 8 bits as one byte of UTF-8 text, "%".
    // Before a "%", a byte of 0x80 or more is a malformed byte, U+0080.
    const char marker[3] = {'%', static_cast<char>(state->verb & 0xFF), '%'};
    state->precision = 3;
    // A full buffer is not reported: the run goes on with the format.
    (void)put_utf8_field(state, marker, 3, 3);
    return 0;
}
