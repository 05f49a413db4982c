// The grammar of a conversion spec, written once: the engine reads a spec by
// it at run time, and the face's checker and planner where a format is
// written. It says only what each character is; what a verb or a flag
// character does is its handler's business (the engine) or its row's in the
// table of built-in verbs (the checker). Internal to the library; installed
// because the face's templates read it. Not for users.
#pragma once

#include <stdint.h>

#include "format/format.h"

namespace bracket::detail {

// What a stretch of a spec is.
enum class SpecPart : uint8_t {
    VERB,       // a verb or a flag character, by its handler; code 0 is the format's end
    ZERO_FLAG,  // "0" while no width and no "." have been read
    NUMBER,     // a run of digits
    DOT,        // "."
    STAR,       // "*": a number that an argument gives
};

struct SpecToken {
    SpecPart part;
    int32_t length;  // its bytes
    uint32_t value;  // NUMBER: its value, modulo 2^32; VERB: the character
};

// The fields of a spec as its numbers, "." and flag characters set them.
struct SpecFields {
    uint32_t flags;
    int32_t width;
    int32_t precision;
};

// Returns what the spec stretch at text is, given the flags read so far
// (only WIDTH_SET counts). A verb beyond ASCII comes as its first byte
// (0x80 or more), one byte long.
#if defined(__GNUC__)
__attribute__((always_inline))
#endif
constexpr SpecToken
read_spec_token(const char* text, uint32_t flags) {
    const uint32_t c = static_cast<unsigned char>(text[0]);
    if (c - '0' <= 9) {
        // "0" is the zero flag until a width or a "." is read; then a digit,
        // so that "%5.0d" and "%.05d" read as the numbers they look like.
        if (c == '0' && (flags & FormatFlag::WIDTH_SET) == 0) return SpecToken{SpecPart::ZERO_FLAG, 1, 0};
        // No overflow test: a longer number wraps modulo 2^32. A precision
        // that wraps negative writes no character (fill_of).
        uint32_t value = c - '0';
        int32_t length = 1;
        while (static_cast<uint32_t>(static_cast<unsigned char>(text[length])) - '0' <= 9) {
            value = value * 10 + (static_cast<unsigned char>(text[length]) - '0');
            ++length;
        }
        return SpecToken{SpecPart::NUMBER, length, value};
    }
    if (c == '.') return SpecToken{SpecPart::DOT, 1, 0};
    if (c == '*') return SpecToken{SpecPart::STAR, 1, 0};
    // A verb beyond ASCII is none of the library's: the grammar gives its
    // first byte, and a reader that runs it (the engine) reads the whole
    // character by the system's one UTF-8 step.
    return SpecToken{SpecPart::VERB, 1, c};
}

// A "." makes every later number the precision, and sets one of 0.
constexpr void spec_take_dot(SpecFields* fields) { fields->flags |= FormatFlag::WIDTH_SET | FormatFlag::PRECISION_SET; }

// The first number is the width unless a "." came first; every later one is
// the precision, and the last wins.
constexpr void spec_take_number(SpecFields* fields, int32_t number) {
    if (fields->flags & FormatFlag::WIDTH_SET) {
        fields->precision = number;
        fields->flags |= FormatFlag::PRECISION_SET;
    } else {
        fields->width = number;
        fields->flags |= FormatFlag::WIDTH_SET;
    }
}

// Returns a "*" argument's magnitude; a negative one also aligns left,
// whether it gives the width or the precision.
constexpr int32_t star_magnitude(uint32_t* flags, int32_t number) {
    if (number >= 0) return number;
    *flags |= FormatFlag::LEFT_ALIGN;
    // Two's complement: the most negative value stays negative.
    return static_cast<int32_t>(0u - static_cast<uint32_t>(number));
}

constexpr void spec_take_star(SpecFields* fields, int32_t number) {
    spec_take_number(fields, star_magnitude(&fields->flags, number));
}

// Returns the most bytes (or units) a view's verb may read: its length, or
// fewer by the spec's own precision (a negative one reads none).
constexpr int32_t view_bound(uint32_t flags, int32_t precision, int32_t length) {
    if ((flags & FormatFlag::PRECISION_SET) == 0) return length;
    return precision < 0 ? 0 : precision < length ? precision : length;
}

}  // namespace bracket::detail
