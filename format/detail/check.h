// The C++ face's checker: what each argument's type can be to a verb, and a
// format read by the spec grammar against the table of built-in verbs.
// Internal to the library; installed because the face's templates read it.
// Not for users: names here change without notice.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>

#include "format/detail/grammar.h"
#include "format/detail/verb_table.h"
#include "format/format.h"

// Under C++20 a checked format is checked where it is written, and a
// mismatch does not compile; under C++17 as it is made, when the call runs.
#if __cplusplus >= 202002L
#define BRACKET_FORMAT_CHECK_AT_COMPILE_TIME 1
#define BRACKET_FORMAT_CONSTEVAL consteval
#else
#define BRACKET_FORMAT_CHECK_AT_COMPILE_TIME 0
#define BRACKET_FORMAT_CONSTEVAL constexpr
#endif

// A checked format is also planned where it is written (C++20), unless a
// program that wants the engine's smaller calls builds with
// -DBRACKET_FORMAT_PLAN=0.
#if !defined(BRACKET_FORMAT_PLAN)
#define BRACKET_FORMAT_PLAN BRACKET_FORMAT_CHECK_AT_COMPILE_TIME
#endif

// Taken in line where it is called: a checked format's call, so that its
// plan's fields are constants there and its steps fold to their writers.
#if defined(__GNUC__)
#define BRACKET_FORMAT_IN_LINE __attribute__((always_inline)) inline
#else
#define BRACKET_FORMAT_IN_LINE inline
#endif

namespace bracket::detail {

// Where wchar_t is a 16-bit unit (Windows), the texts a program holds in it
// are 16-bit texts, as every Windows call hands them out.
template <class Q>
constexpr bool is_unit16() {
    return std::is_same_v<Q, char16_t> || std::is_same_v<Q, Char16> ||
           (std::is_same_v<Q, wchar_t> && sizeof(wchar_t) == sizeof(char16_t));
}
template <class U>
constexpr bool is_string16() {
    return std::is_same_v<U, std::u16string> ||
           (std::is_same_v<U, std::wstring> && sizeof(wchar_t) == sizeof(char16_t));
}
template <class U>
constexpr bool is_view16() {
    return std::is_same_v<U, std::u16string_view> ||
           (std::is_same_v<U, std::wstring_view> && sizeof(wchar_t) == sizeof(char16_t));
}

// Returns what a built-in verb can do with an argument of type T.
template <class T>
constexpr Kind kind_of() {
    using U = std::remove_cv_t<T>;
    if constexpr (std::is_integral_v<U> && !std::is_same_v<U, bool>) {
        return sizeof(U) <= 4 ? Kind::INT32 : sizeof(U) == 8 ? Kind::INT64 : Kind::OTHER;
    } else if constexpr (std::is_same_v<U, std::string>) {
        return Kind::STRING;
    } else if constexpr (std::is_same_v<U, std::string_view>) {
        return Kind::VIEW;
    } else if constexpr (is_string16<U>()) {
        return Kind::STRING16;
    } else if constexpr (is_view16<U>()) {
        return Kind::VIEW16;
    } else if constexpr (std::is_same_v<U, std::nullptr_t>) {
        return Kind::POINTER;
    } else if constexpr (std::is_pointer_v<U>) {
        using P = std::remove_pointer_t<U>;
        using Q = std::remove_cv_t<P>;
        if constexpr (std::is_same_v<Q, char>) {
            return Kind::TEXT;
        } else if constexpr (is_unit16<Q>()) {
            return Kind::TEXT16;
        } else if constexpr (!std::is_const_v<P> && std::is_integral_v<Q> && std::is_signed_v<Q> &&
                             !std::is_same_v<Q, char> && !std::is_same_v<Q, wchar_t>) {
            return sizeof(Q) == 1   ? Kind::COUNT8
                   : sizeof(Q) == 2 ? Kind::COUNT16
                   : sizeof(Q) == 4 ? Kind::COUNT32
                                    : Kind::COUNT64;
        } else {
            return Kind::POINTER;
        }
    } else {
        return Kind::OTHER;
    }
}

constexpr bool is_view_kind(Kind kind) { return kind == Kind::VIEW || kind == Kind::VIEW16; }

// Returns true when an argument of kind serves a verb that wants the kind want.
constexpr bool fits(Kind want, Kind kind) {
    switch (want) {
        case Kind::TEXT: return kind == Kind::TEXT || kind == Kind::STRING || kind == Kind::VIEW;
        case Kind::TEXT16: return kind == Kind::TEXT16 || kind == Kind::STRING16 || kind == Kind::VIEW16;
        case Kind::POINTER:
            return kind == Kind::TEXT || kind == Kind::TEXT16 || kind == Kind::POINTER || kind == Kind::COUNT8 ||
                   kind == Kind::COUNT16 || kind == Kind::COUNT32 || kind == Kind::COUNT64;
        default: return kind == want;
    }
}

// The most bytes between a view's "%" and its verb: the face runs such a
// spec from a copy of that size.
constexpr int32_t VIEW_SPEC_MAX = 60;

// One conversion spec as the engine reads it with the built-in verbs.
struct Spec {
    int32_t start;           // offset of its "%" in the format
    int32_t verb;            // offset of its verb; -1 when the format ends inside it
    uint32_t code;           // the verb's character
    int32_t length;          // the verb's bytes
    Kind want;               // what the verb takes with its flags (wanted_kind)
    uint32_t flags;          // every flag bit the verb finds, but LEFT_ALIGN from a "*"
    int32_t width;           // the width a number gave, when width_star is -1
    int32_t precision;       // the precision a number gave, when precision_star is -1
    int32_t first;           // the index of its first argument
    int32_t stars;           // the "*" arguments it takes before the verb's own
    int32_t width_star;      // which of them gave the width (from 0), or -1
    int32_t precision_star;  // which of them gave the precision last (from 0), or -1
};

// Where a reading of a format stands: the next byte, the next argument.
struct SpecCursor {
    const char* format;
    int32_t at;
    int32_t argument;
};

// Reads the next conversion spec of the format into spec and moves the
// cursor past it; false when no "%" is left. In line: a C++17 check runs it
// on every call.
#if defined(__GNUC__)
__attribute__((always_inline))
#endif
constexpr bool
read_next_spec(SpecCursor* cursor, Spec* spec) {
    const char* format = cursor->format;
    int32_t at = cursor->at;
    while (format[at] != '%') {
        if (format[at] == '\0') return false;
        ++at;
    }
    *spec = Spec{at, -1, 0, 0, Kind::OTHER, 0, 0, 0, cursor->argument, 0, -1, -1};
    SpecFields fields{0, 0, 0};
    for (++at;;) {
        const SpecToken token = read_spec_token(format + at, fields.flags);
        const bool precision = (fields.flags & FormatFlag::WIDTH_SET) != 0;
        switch (token.part) {
            case SpecPart::ZERO_FLAG: fields.flags |= FormatFlag::ZERO_PAD; break;
            case SpecPart::DOT: spec_take_dot(&fields); break;
            case SpecPart::NUMBER:
            case SpecPart::STAR: {
                const bool star = token.part == SpecPart::STAR;
                // A "*" counts here as 0: its argument is known at run time.
                spec_take_number(&fields, static_cast<int32_t>(token.value));
                if (precision) {
                    spec->precision_star = star ? spec->stars : -1;
                } else {
                    spec->width_star = star ? spec->stars : -1;
                }
                if (star) ++spec->stars;
                break;
            }
            case SpecPart::VERB: {
                if (token.value == 0) {
                    cursor->at = at;
                    return true;
                }
                const int32_t row = builtin_verb_row(token.value);
                if (row >= 0 && BUILTIN_VERBS[row].flag != 0) {
                    fields.flags = with_flag(BUILTIN_VERBS[row], fields.flags);
                    break;
                }
                spec->verb = at;
                spec->code = token.value;
                spec->length = token.length;
                spec->want = row < 0 ? Kind::OTHER : kind_by_length(BUILTIN_VERBS[row].kinds, fields.flags);
                spec->flags = fields.flags;
                spec->width = fields.width;
                spec->precision = fields.precision;
                cursor->at = at + token.length;
                cursor->argument += spec->stars + (spec->want == Kind::NONE ? 0 : 1);
                return true;
            }
        }
        at += token.length;
    }
}

enum class Problem : uint8_t {
    NONE,
    MISMATCH,            // the argument is not of a type the conversion takes
    USE_LL,              // a 64-bit integer for a conversion without "ll"
    NO_FLOATING_POINT,   // "f", "e", "g" or "a": there are no floating point verbs
    NOT_BUILT_IN,        // the verb is not built in
    UNTERMINATED,        // the format ends inside a conversion spec
    TOO_FEW,             // a conversion has no argument left
    TOO_MANY,            // arguments are left over
    VIEW_SPEC_TOO_LONG,  // a view's spec is longer than VIEW_SPEC_MAX
};

struct Check {
    Problem problem;
    int32_t argument;  // the argument at fault
    char conversion;   // the conversion at fault ("*" for a width or precision)
};

// Matches each argument, of the kinds given, to what the format does with it
// when every verb is built in.
constexpr Check check_format(const char* format, const Kind* kinds, int32_t count) {
    SpecCursor cursor{format, 0, 0};
    Spec spec{};
    while (read_next_spec(&cursor, &spec)) {
        int32_t argument = spec.first;
        if (spec.verb < 0) return Check{Problem::UNTERMINATED, argument, '%'};
        for (; argument < spec.first + spec.stars; ++argument) {
            if (argument >= count) return Check{Problem::TOO_FEW, argument, '*'};
            if (kinds[argument] != Kind::INT32) return Check{Problem::MISMATCH, argument, '*'};
        }
        const char verb = format[spec.verb];
        const Kind want = spec.want;
        if (want == Kind::NONE) continue;
        if (want == Kind::OTHER || want == Kind::FLOATING) {
            return Check{want == Kind::FLOATING ? Problem::NO_FLOATING_POINT : Problem::NOT_BUILT_IN, argument, verb};
        }
        if (argument >= count) return Check{Problem::TOO_FEW, argument, verb};
        const Kind kind = kinds[argument];
        if (!fits(want, kind)) {
            // "ll" would take it where the verb's "ll" form takes a 64-bit integer.
            const bool use_ll = want == Kind::INT32 && kind == Kind::INT64 &&
                                wanted_kind(spec.code, FormatFlag::LONG_LONG) == Kind::INT64;
            return Check{use_ll ? Problem::USE_LL : Problem::MISMATCH, argument, verb};
        }
        if (is_view_kind(kind) && spec.verb - spec.start - 1 > VIEW_SPEC_MAX) {
            return Check{Problem::VIEW_SPEC_TOO_LONG, argument, verb};
        }
    }
    if (cursor.argument < count) return Check{Problem::TOO_MANY, cursor.argument, 0};
    return Check{Problem::NONE, 0, 0};
}

// Stores the spec of each view argument, in order, for a format that
// check_format accepts with these kinds.
constexpr void find_view_specs(const char* format, const Kind* kinds, Spec* views) {
    SpecCursor cursor{format, 0, 0};
    Spec spec{};
    while (read_next_spec(&cursor, &spec)) {
        if (spec.want != Kind::NONE && is_view_kind(kinds[spec.first + spec.stars])) *views++ = spec;
    }
}

}  // namespace bracket::detail
