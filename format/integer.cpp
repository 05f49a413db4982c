// The integer verbs: "d", "o", "x", "X", "b" and "p".
#include <stdarg.h>  // va_arg
#include <stdint.h>

#include "format/detail/integer.h"
#include "format/detail/verb_table.h"  // the value writers
#include "format/detail/writer.h"      // put_verbatim_field
#include "format/format.h"

namespace bracket {

namespace {

// Zeros (precision and zero fill) stop once this many characters are written,
// which leaves room in front for a sign and a two-character prefix.
constexpr int32_t ZERO_LIMIT = 66;

// The longest text: a negative 64-bit value in base 2 with grouping, 64
// digits, 21 separators and a sign. Everything else, zeros included, needs
// at most ZERO_LIMIT + 3.
constexpr int32_t AREA_SIZE = 64 + 21 + 1;
static_assert(AREA_SIZE >= ZERO_LIMIT + 3, "the area must hold the zeros, a sign and a prefix");

const char LOWER_DIGITS[] = "0123456789abcdef";
const char UPPER_DIGITS[] = "0123456789ABCDEF";

// The text under construction, filled from the end of the area towards its
// start so that it needs no reversal. length also counts the positions
// reserved for the sign and the prefix before they are written.
struct Text {
    char* first;
    char* end;
    int32_t length;
};

int32_t written(const Text* text) { return static_cast<int32_t>(text->end - text->first); }

void put(Text* text, char c) { *--text->first = c; }

// "00" to "99": decimal digits two at a time, which halves the divisions.
const char DIGIT_PAIRS[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

// Writes the digits of value, a magnitude, with a separator between every
// three when grouping. One copy per base and value type: the README's
// Performance section says why.
template <typename Unsigned, uint32_t Base>
void put_digits_in(Text* text, Unsigned value, const char* alphabet, bool group) {
    if (group && Base == 10) {
        // Three digits, then a separator, while more digits follow: the
        // separator stands between every three digits counted from the right.
        char* first = text->first;
        while (value >= 1000) {
            const uint32_t three = static_cast<uint32_t>(value % 1000);
            value /= 1000;
            first -= 4;
            first[0] = ',';
            first[1] = static_cast<char>('0' + three / 100);
            const size_t pair = 2 * static_cast<size_t>(three % 100);
            first[2] = DIGIT_PAIRS[pair];
            first[3] = DIGIT_PAIRS[pair + 1];
        }
        text->length += static_cast<int32_t>(text->first - first);
        text->first = first;
        group = false;  // the leading one to three digits have no separator
    }
    if (group) {
        while (value != 0) {
            const Unsigned digit = value % Base;
            value /= Base;
            if (text->length % 4 == 3) {
                put(text, ',');
                ++text->length;
            }
            put(text, alphabet[digit]);
            ++text->length;
        }
        return;
    }
    char* first = text->first;
    if (Base == 10) {
        while (value >= 100) {
            const Unsigned pair = value % 100;
            value /= 100;
            first -= 2;
            first[0] = DIGIT_PAIRS[2 * pair];
            first[1] = DIGIT_PAIRS[2 * pair + 1];
        }
        if (value >= 10) {
            first -= 2;
            first[0] = DIGIT_PAIRS[2 * value];
            first[1] = DIGIT_PAIRS[2 * value + 1];
        } else if (value != 0) {
            *--first = static_cast<char>('0' + value);
        }
    } else {
        while (value != 0) {
            *--first = alphabet[value % Base];
            value /= Base;
        }
    }
    text->length += static_cast<int32_t>(text->first - first);
    text->first = first;
}

template <typename Unsigned>
void put_digits(Text* text, Unsigned value, uint32_t base, const char* alphabet, bool group) {
    switch (base) {
        case 10: put_digits_in<Unsigned, 10>(text, value, alphabet, group); break;
        case 16: put_digits_in<Unsigned, 16>(text, value, alphabet, group); break;
        case 8: put_digits_in<Unsigned, 8>(text, value, alphabet, group); break;
        default: put_digits_in<Unsigned, 2>(text, value, alphabet, group); break;
    }
}

void put_zeros_up_to(Text* text, int32_t target) {
    while (text->length < target && written(text) < ZERO_LIMIT) {
        put(text, '0');
        ++text->length;
    }
}

}  // namespace

int32_t put_integer(FormatState* state, IntegerValue taken) {
    uint32_t flags = state->flags;
    const bool is64 = taken.is64;
    uint64_t value64 = taken.value;
    uint32_t value32 = static_cast<uint32_t>(taken.value);

    uint32_t base;
    const char* alphabet = LOWER_DIGITS;
    switch (state->verb) {
        case 'X':
            base = 16;
            alphabet = UPPER_DIGITS;
            break;
        case 'b': base = 2; break;
        case 'd': base = 10; break;
        case 'o': base = 8; break;
        case 'x': base = 16; break;
        default: return -1;
    }

    // Negating in unsigned arithmetic gives the most negative values their
    // true magnitude.
    bool negative = false;
    if (!(flags & FormatFlag::UNSIGNED)) {
        if (is64 && static_cast<int64_t>(value64) < 0) {
            negative = true;
            value64 = 0 - value64;
        } else if (!is64 && static_cast<int32_t>(value32) < 0) {
            negative = true;
            value32 = 0 - value32;
        }
    }

    char area[AREA_SIZE];
    Text text{area + AREA_SIZE, area + AREA_SIZE, 0};
    bool group = (flags & FormatFlag::GROUP_DIGITS) != 0;
    if (is64) {
        put_digits<uint64_t>(&text, value64, base, alphabet, group);
    } else {
        put_digits<uint32_t>(&text, value32, base, alphabet, group);
    }
    if (text.length == 0) {
        put(&text, '0');
        text.length = 1;
    }

    // The precision is read even without PRECISION_SET (it is 0 then), and
    // it counts separators; the zeros it adds are not grouped.
    put_zeros_up_to(&text, state->precision);

    if (negative || (flags & (FormatFlag::PLUS_SIGN | FormatFlag::SPACE_SIGN))) ++text.length;
    if (flags & FormatFlag::ALTERNATE) {
        if (base == 16) {
            text.length += 2;
        } else if (base == 8 && *text.first == '0') {
            // The precision already put a zero in front; the prefix is that zero.
            flags &= ~static_cast<uint32_t>(FormatFlag::ALTERNATE);
        } else if (base == 8) {
            text.length += 1;
        }
    }

    // Sign and prefix are reserved above, so the zeros fill the width exactly.
    // The width is spent even when the zero limit cut the fill short.
    if ((flags & FormatFlag::ZERO_PAD) && !(flags & FormatFlag::LEFT_ALIGN)) {
        put_zeros_up_to(&text, state->width);
        state->width = 0;
    }

    if (flags & FormatFlag::ALTERNATE) {
        if (base == 16) {
            put(&text, static_cast<char>(state->verb & 0xffu));
            put(&text, '0');
        } else if (base == 8) {
            put(&text, '0');
        }
    }
    if (negative) {
        put(&text, '-');
    } else if (flags & FormatFlag::PLUS_SIGN) {
        put(&text, '+');
    } else if (flags & FormatFlag::SPACE_SIGN) {
        put(&text, ' ');
    }

    // The precision has been spent on digits; it must not cut the text.
    state->flags &= ~static_cast<uint32_t>(FormatFlag::PRECISION_SET);
    // One byte a character: the digits come out as they stand.
    return put_verbatim_field(state, text.first, text.length, text.length);
}

int32_t convert_integer(FormatState* state) {
    if (state->verb == 'p') {
        const auto address = reinterpret_cast<uintptr_t>(va_arg(state->args, void*));
        return put_address(state, address);
    }
    // Every argument but a "ll" one is an int's size.
    const uint64_t bits = (state->flags & FormatFlag::LONG_LONG) != 0
                              ? static_cast<uint64_t>(va_arg(state->args, long long))
                              : static_cast<uint32_t>(va_arg(state->args, int32_t));
    return put_integer(state, integer_taken(state->flags, bits));
}

int32_t put_address(FormatState* state, uintptr_t address) {
    state->verb = 'x';
    state->flags |= FormatFlag::UNSIGNED;
    return put_integer(state, IntegerValue{address, sizeof address > sizeof(uint32_t)});
}

int32_t detail::put_integer_value(FormatState* state, const ValueArgument& argument) {
    return put_integer(state, integer_taken(state->flags, argument.bits));
}

int32_t detail::put_address_value(FormatState* state, const ValueArgument& argument) {
    return put_address(state, reinterpret_cast<uintptr_t>(argument.pointer));
}

}  // namespace bracket
