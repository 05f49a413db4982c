// The text conversions: the handlers of the verbs "c", "C", "s", "S", "%" and
// "n", of the flag characters, and of a verb without a handler.
#include <stdarg.h>
#include <stdint.h>

#include "format/detail/grammar.h"    // view_bound
#include "format/detail/text_char.h"  // TEXT_CHAR_MAX_BYTES
#include "format/detail/verb_table.h"
#include "format/detail/writer.h"  // encode_code
#include "format/format.h"
#include "format/utf8.h"

namespace bracket {

using detail::put_char16_value;
using detail::put_char_value;
using detail::put_count_value;

using detail::ValueArgument;

int32_t convert_char(FormatState* state) {
    return put_char_value(state, ValueArgument{static_cast<uint32_t>(va_arg(state->args, int)), nullptr, -1, false});
}

int32_t detail::put_char_value(FormatState* state, const ValueArgument& argument) {
    // The byte with a terminator after it: one of 0x80 or more is then a
    // malformed byte, U+0080, rather than a sequence that its length cuts.
    const char text[2] = {static_cast<char>(argument.bits & 0xFF), '\0'};
    // The precision becomes 1, so a precision in the spec never hides it.
    state->precision = 1;
    return put_utf8_field(state, text, 1, 2);
}

int32_t convert_char16(FormatState* state) {
    return put_char16_value(state, ValueArgument{static_cast<uint32_t>(va_arg(state->args, int)), nullptr, -1, false});
}

int32_t detail::put_char16_value(FormatState* state, const ValueArgument& argument) {
    const Char16 unit = static_cast<Char16>(argument.bits & 0xFFFF);
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

// A view's text is read no further than its bound, as a precision reads;
// a whole view passed as its terminated copy is read one unit past its end,
// to the terminator, so that a character its end cuts reads as malformed.
void bound_view(FormatState* state, const ValueArgument& argument) {
    if (argument.length < 0) return;
    int32_t bound = detail::view_bound(state->flags, state->precision, argument.length);
    if (argument.past && bound == argument.length && bound < INT32_MAX) ++bound;
    state->precision = bound;
    state->flags |= FormatFlag::WIDTH_SET | FormatFlag::PRECISION_SET;
}

}  // namespace

int32_t detail::put_string_value(FormatState* state, const ValueArgument& argument) {
    bound_view(state, argument);
    return format_utf8_string(state, static_cast<const char*>(argument.pointer));
}

int32_t detail::put_string16_value(FormatState* state, const ValueArgument& argument) {
    bound_view(state, argument);
    return format_char16_string(state, static_cast<const Char16*>(argument.pointer));
}

int32_t detail::put_percent_value(FormatState* state, const ValueArgument&) { return convert_percent(state); }

int32_t detail::put_error_text_value(FormatState* state, const ValueArgument&) { return convert_error_text(state); }

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
    return put_count_value(state, ValueArgument{0, va_arg(state->args, void*), -1, false});
}

int32_t detail::put_count_value(FormatState* state, const ValueArgument& argument) {
    // The face passes a count's target as it came, a pointer to a mutable
    // integer: the const is the carrier's, not the target's.
    void* target = const_cast<void*>(argument.pointer);
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
    const int32_t row = detail::builtin_verb_row(state->verb);
    if (row >= 0) state->flags = detail::with_flag(detail::BUILTIN_VERBS[row], state->flags);
    return 1;
}

int32_t convert_bad_verb(FormatState* state) {
    // The marker "%", the verb's own character whole, "%": the verb reads
    // as the user wrote it (a malformed byte as U+0080).
    char marker[2 + TEXT_CHAR_MAX_BYTES];
    marker[0] = '%';
    int32_t length = 1 + encode_code(marker + 1, state->verb);
    marker[length++] = '%';
    state->precision = 3;
    // A full buffer is not reported: the run goes on with the format.
    (void)put_utf8_field(state, marker, 3, length);
    return 0;
}

}  // namespace bracket
