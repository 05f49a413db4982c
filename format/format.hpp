// The formatting library's C++ face: results as std::string or
// std::u16string, fixed buffers that report the size the text needed, and
// formats checked against their arguments. Every call runs the engine of
// format/format.h over the library's verbs; nothing here formats on its own.
//
// A format written as a literal is checked against the built-in verbs:
// under C++20 where it is written, so that a mismatch does not compile;
// under C++17 when the call runs, and a mismatch then gives an empty text
// (format_to: ok false). A format with verbs installed at run time, or one
// known only at run time, goes through bracket::runtime(format): it is not
// checked and its arguments are passed as given, but an argument that no
// verb could take (a string view, a class) does not compile.
//
// A call whose text is not what its format asked for (a C++17 mismatch, a
// handler that failed, a format that ends inside a conversion spec) records
// an error text naming the conversion and the argument, and sets the
// thread error code to ERROR_TEXT_CODE (portability/error_text.h); read it
// with "%r" or read_error_text. A call that succeeds leaves both alone. A
// null format is the empty one.
#pragma once

#include <cstddef>  // size_t
#include <cstdint>
#include <string>
#include <string_view>
#include <tuple>
#include <type_traits>
#include <utility>

#include "format/format.h"

#if __cplusplus >= 202002L
#define BRACKET_FORMAT_CHECK_AT_COMPILE_TIME 1
#define BRACKET_FORMAT_CONSTEVAL consteval
#else
#define BRACKET_FORMAT_CHECK_AT_COMPILE_TIME 0
#define BRACKET_FORMAT_CONSTEVAL constexpr
#endif

namespace bracket {

// What format_to did.
struct FormatToResult {
    int32_t length;  // bytes written before the terminator
    int32_t needed;  // bytes the whole text takes, terminator excluded;
                     // INT32_MAX for a text of that length or more
    bool cut;        // the text did not fit whole in the buffer; not a failure
    bool ok;         // false: the text is not what the format asked for, and
                     // the error text says why (a mismatch under C++17 writes
                     // only a terminator)
};

// A format that is not checked: its verbs may be installed at run time, or
// it is known only at run time.
struct RuntimeFormat {
    const char* text;
};

// Marks format as one not to be checked (see RuntimeFormat).
constexpr RuntimeFormat runtime(const char* format) { return RuntimeFormat{format}; }

namespace detail {

// What the format can do with an argument, by its type.
enum class Kind : uint8_t {
    INT32,     // an integer of at most 32 bits
    INT64,     // a 64-bit integer
    TEXT,      // const char*
    STRING,    // std::string, passed as its c_str()
    VIEW,      // std::string_view, passed with its length as the precision
    TEXT16,    // const Char16* or const char16_t*
    STRING16,  // std::u16string
    VIEW16,    // std::u16string_view
    POINTER,   // any other pointer
    COUNT8,    // int8_t*, for %hhn
    COUNT16,   // int16_t*, for %hn
    COUNT32,   // int32_t*, for %n and %ln
    COUNT64,   // int64_t*, for %lln
    OTHER,     // nothing a built-in verb takes
};

template <class T>
constexpr Kind kind_of() {
    using U = std::remove_cv_t<T>;
    if constexpr (std::is_same_v<U, bool>) {
        return Kind::OTHER;
    } else if constexpr (std::is_integral_v<U>) {
        return sizeof(U) <= 4 ? Kind::INT32 : sizeof(U) == 8 ? Kind::INT64 : Kind::OTHER;
    } else if constexpr (std::is_same_v<U, std::string>) {
        return Kind::STRING;
    } else if constexpr (std::is_same_v<U, std::string_view>) {
        return Kind::VIEW;
    } else if constexpr (std::is_same_v<U, std::u16string>) {
        return Kind::STRING16;
    } else if constexpr (std::is_same_v<U, std::u16string_view>) {
        return Kind::VIEW16;
    } else if constexpr (std::is_same_v<U, std::nullptr_t>) {
        return Kind::POINTER;
    } else if constexpr (std::is_pointer_v<U>) {
        using P = std::remove_pointer_t<U>;
        using Q = std::remove_cv_t<P>;
        if constexpr (std::is_same_v<Q, char>) {
            return Kind::TEXT;
        } else if constexpr (std::is_same_v<Q, char16_t> || std::is_same_v<Q, Char16>) {
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

// The kind of argument a built-in verb takes with the spec's flags; OTHER
// for a character that is no built-in verb, and for "%" and "r", which take
// none.
constexpr Kind wanted_kind(char verb, uint32_t flags) {
    switch (verb) {
        case 'd':
        case 'o':
        case 'x':
        case 'X':
        case 'b': return (flags & FormatFlag::LONG_LONG) ? Kind::INT64 : Kind::INT32;
        case 'c':
        case 'C': return Kind::INT32;
        case 's': return Kind::TEXT;
        case 'S': return Kind::TEXT16;
        case 'p': return Kind::POINTER;
        case 'n':
            return (flags & FormatFlag::LONG_LONG) ? Kind::COUNT64
                   : (flags & FormatFlag::LONG)    ? Kind::COUNT32
                   : (flags & FormatFlag::BYTE)    ? Kind::COUNT8
                   : (flags & FormatFlag::SHORT)   ? Kind::COUNT16
                                                   : Kind::COUNT32;
        default: return Kind::OTHER;
    }
}

// True when an argument of kind serves a verb that wants the kind want.
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

// True for the integer verbs, which print an unsigned argument's value when
// the spec is run from a copy with the flag "u".
constexpr bool is_integer_verb(char verb) {
    return verb == 'd' || verb == 'o' || verb == 'x' || verb == 'X' || verb == 'b';
}

// The most bytes between a view's "%" and its verb: the face runs such a
// spec from a copy of that size.
constexpr int32_t VIEW_SPEC_MAX = 60;

// One conversion spec as parse_spec reads it with the built-in verbs.
struct Spec {
    int32_t start;           // offset of its "%" in the format
    int32_t verb;            // offset of its verb; -1 when the format ends inside it
    uint32_t flags;          // the length flags, WIDTH_SET and PRECISION_SET the verb finds
    int32_t first;           // the index of its first argument
    int32_t stars;           // the "*" arguments it takes before the verb's own
    int32_t precision_star;  // which of them gave the precision last (from 0), or -1
    int32_t precision;       // the precision a number gave, when precision_star is -1
};

// Where a reading of a format stands: the next byte, the next argument.
struct SpecCursor {
    const char* format;
    int32_t at;
    int32_t argument;
};

// Reads the next conversion spec of the format into spec and moves the
// cursor past it; false when no "%" is left.
constexpr bool read_next_spec(SpecCursor* cursor, Spec* spec) {
    const char* format = cursor->format;
    int32_t at = cursor->at;
    while (format[at] != '%') {
        if (format[at] == '\0') return false;
        ++at;
    }
    *spec = Spec{at, -1, 0, cursor->argument, 0, -1, 0};
    uint32_t& flags = spec->flags;
    for (++at;; ++at) {
        const char c = format[at];
        bool number = c == '*';
        switch (c) {
            case '\0': cursor->at = at; return true;
            case ' ':
            case '#':
            case '+':
            case ',':
            case '-':
            case 'u': continue;
            case 'h': flags |= (flags & FormatFlag::SHORT) ? FormatFlag::BYTE : FormatFlag::SHORT; continue;
            case 'l': flags |= (flags & FormatFlag::LONG) ? FormatFlag::LONG_LONG : FormatFlag::LONG; continue;
            case '.': flags |= FormatFlag::WIDTH_SET | FormatFlag::PRECISION_SET; continue;
            default: break;
        }
        // "0" is the zero flag until a width or a "." is read; then a digit.
        // A longer number wraps modulo 2^32, as in the engine.
        uint32_t value = 0;
        if ((c >= '1' && c <= '9') || (c == '0' && (flags & FormatFlag::WIDTH_SET))) {
            for (; format[at] >= '0' && format[at] <= '9'; ++at) {
                value = value * 10 + static_cast<uint32_t>(format[at] - '0');
            }
            --at;
            number = true;
        } else if (c == '0') {
            continue;
        }
        if (number) {
            // The first number is the width unless a "." came first; every
            // later one is the precision, and the last wins.
            if (flags & FormatFlag::WIDTH_SET) {
                spec->precision_star = c == '*' ? spec->stars : -1;
                spec->precision = static_cast<int32_t>(value);
                flags |= FormatFlag::PRECISION_SET;
            } else {
                flags |= FormatFlag::WIDTH_SET;
            }
            if (c == '*') ++spec->stars;
            continue;
        }
        spec->verb = at;
        cursor->at = at + 1;
        cursor->argument += spec->stars + (c == '%' || c == 'r' ? 0 : 1);
        return true;
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

constexpr bool is_floating_point_verb(char verb) {
    return verb == 'f' || verb == 'e' || verb == 'g' || verb == 'a' || verb == 'F' || verb == 'E' || verb == 'G' ||
           verb == 'A';
}

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
        if (verb == '%' || verb == 'r') continue;
        const Kind want = wanted_kind(verb, spec.flags);
        if (want == Kind::OTHER) {
            return Check{is_floating_point_verb(verb) ? Problem::NO_FLOATING_POINT : Problem::NOT_BUILT_IN, argument,
                         verb};
        }
        if (argument >= count) return Check{Problem::TOO_FEW, argument, verb};
        const Kind kind = kinds[argument];
        if (!fits(want, kind)) {
            const bool use_ll = want == Kind::INT32 && kind == Kind::INT64 && verb != 'c' && verb != 'C';
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
        const char verb = format[spec.verb];
        if (verb != '%' && verb != 'r' && is_view_kind(kinds[spec.first + spec.stars])) *views++ = spec;
    }
}

// ---- Compile-time reports. Each is a function that cannot run in a constant
// expression: a checked format that fails calls one, and the compiler's error
// names it, with the conversion and the argument's type where there are. ----

template <char Conversion, class Argument>
void argument_type_does_not_match_conversion() {}
template <char Conversion, class Argument>
void integer_argument_is_64_bits_use_ll_as_in_lld() {}
template <char Conversion>
void conversion_has_no_argument_left() {}
template <class Argument>
void argument_left_over_after_the_last_conversion() {}
inline void no_floating_point_verbs_format_the_number_yourself() {}
inline void verb_is_not_built_in_install_it_and_use_bracket_runtime() {}
inline void format_ends_inside_a_conversion_spec() {}
inline void conversion_spec_of_a_view_is_over_60_bytes() {}
inline void format_is_not_a_constant_use_bracket_runtime() {}

// The conversions that take an argument, as template arguments of the reports.
using ArgumentConversions = std::integer_sequence<char, 'd', 'o', 'x', 'X', 'b', 'c', 'C', 's', 'S', 'p', 'n', '*'>;

template <class Argument, char... Cs>
constexpr void report_argument(const Check& check, std::integer_sequence<char, Cs...>) {
    if (check.problem == Problem::USE_LL) {
        ((check.conversion == Cs ? integer_argument_is_64_bits_use_ll_as_in_lld<Cs, Argument>() : void()), ...);
    } else if (check.problem == Problem::MISMATCH) {
        ((check.conversion == Cs ? argument_type_does_not_match_conversion<Cs, Argument>() : void()), ...);
    } else if (check.problem == Problem::TOO_MANY) {
        argument_left_over_after_the_last_conversion<Argument>();
    }
}

template <char... Cs>
constexpr void report_no_argument(const Check& check, std::integer_sequence<char, Cs...>) {
    ((check.conversion == Cs ? conversion_has_no_argument_left<Cs>() : void()), ...);
}

template <class... Args, size_t... I>
constexpr void report(const Check& check, std::index_sequence<I...>) {
    switch (check.problem) {
        case Problem::NO_FLOATING_POINT: no_floating_point_verbs_format_the_number_yourself(); break;
        case Problem::NOT_BUILT_IN: verb_is_not_built_in_install_it_and_use_bracket_runtime(); break;
        case Problem::UNTERMINATED: format_ends_inside_a_conversion_spec(); break;
        case Problem::VIEW_SPEC_TOO_LONG: conversion_spec_of_a_view_is_over_60_bytes(); break;
        case Problem::TOO_FEW: report_no_argument(check, ArgumentConversions{}); break;
        default:
            ((check.argument == static_cast<int32_t>(I) ? report_argument<Args>(check, ArgumentConversions{}) : void()),
             ...);
    }
}

// The view arguments among Args.
template <class... Args>
constexpr size_t VIEW_COUNT = (size_t{0} + ... + size_t{is_view_kind(kind_of<Args>())});

// The specs of a format's views, one per view argument.
template <size_t Views>
struct ViewSpecs {
    Spec specs[Views];
    constexpr const Spec* data() const { return specs; }
};
template <>
struct ViewSpecs<0> {
    constexpr const Spec* data() const { return nullptr; }
};

}  // namespace detail

// A format for the arguments Args (decayed), checked against them: under
// C++20 where it is written, under C++17 as it is made.
template <class... Args>
class FormatString {
public:
    // text: a literal, or a constant that holds one.
    template <class T, std::enable_if_t<std::is_convertible_v<const T&, const char*>, int> = 0>
    BRACKET_FORMAT_CONSTEVAL FormatString(const T& text)
        : text_(nullptr), check_{detail::Problem::NONE, 0, 0}, views_() {
#if BRACKET_FORMAT_CHECK_AT_COMPILE_TIME && defined(__GNUC__)
        // A format known only at run time would stop the check at its first
        // read, with an error that names no remedy.
        if (!__builtin_constant_p(text[0])) detail::format_is_not_a_constant_use_bracket_runtime();
#endif
        text_ = text;
        if (text_ == nullptr) text_ = "";  // as the C entry points take it
        const detail::Kind kinds[sizeof...(Args) + 1] = {detail::kind_of<Args>()..., detail::Kind::OTHER};
        check_ = detail::check_format(text_, kinds, sizeof...(Args));
#if BRACKET_FORMAT_CHECK_AT_COMPILE_TIME
        if (!ok()) detail::report<Args...>(check_, std::index_sequence_for<Args...>{});
#endif
        if constexpr (VIEWS > 0) {
            if (ok()) detail::find_view_specs(text_, kinds, views_.specs);
        }
    }

    // The format's text.
    constexpr const char* get() const { return text_; }
    // True when the arguments match the format (always, under C++20).
    constexpr bool ok() const { return check_.problem == detail::Problem::NONE; }
    // What the check found.
    constexpr const detail::Check& check() const { return check_; }
    // The specs of its view arguments, in order; null when it has none.
    constexpr const detail::Spec* views() const { return views_.data(); }

private:
    static constexpr size_t VIEWS = detail::VIEW_COUNT<Args...>;

    const char* text_;
    detail::Check check_;
    detail::ViewSpecs<VIEWS> views_;
};

template <class... Args>
using format_string = FormatString<std::decay_t<Args>...>;

namespace detail {

// One face call as the engine's runs take it.
struct FaceRun {
    const char* call;    // the call's name, for the error text
    const char* format;  // null: the empty one
    const Spec* views;   // the specs of the view arguments, in order
    int32_t view_count;
    uint64_t unsigned_args;  // bit i: argument i is an unsigned integer
};

// The engine's runs behind the face (format/face.cpp). The arguments after
// the run are C variadic arguments as the verbs take them; each view comes
// as the most bytes (or units) its verb may read, then its data. A run that
// falls short records the error text.
void append_formatted(std::string* text, const FaceRun* run, ...);
void append_formatted16(std::u16string* text, const FaceRun* run, ...);
FormatToResult format_into(char* buffer, size_t size, const FaceRun* run, ...);
// Records the error text for a format that does not match its arguments.
void report_mismatch(const char* call, const Check& check);
// True when the view's last bytes begin a character that they do not
// complete: its end then cuts it, where a terminator would not.
bool view_end_cuts(const char* data, size_t size);

// Copies of views whose end cuts a character, terminated, so that the
// character reads as a terminated text's would: malformed bytes, not a cut.
template <size_t Views>
struct ViewCopies {
    std::string narrow[Views];
    std::u16string wide[Views];
};

// An argument as a C variadic argument.
template <class T>
auto c_value(const T& argument) {
    using U = std::decay_t<const T>;
    if constexpr (std::is_same_v<U, std::string>) {
        return argument.c_str();
    } else if constexpr (std::is_same_v<U, std::u16string>) {
        return reinterpret_cast<const Char16*>(argument.c_str());
    } else if constexpr (std::is_pointer_v<U> && std::is_same_v<std::remove_cv_t<std::remove_pointer_t<U>>, char16_t>) {
        return reinterpret_cast<const Char16*>(static_cast<U>(argument));
    } else {
        return static_cast<U>(argument);
    }
}

template <class T>
int64_t number_of(const T& argument) {
    if constexpr (std::is_integral_v<T>) {
        return static_cast<int64_t>(argument);
    } else {
        return 0;
    }
}

// The integer value of argument index among args.
template <class... Args>
int64_t number_at(int32_t index, const Args&... args) {
    int64_t value = 0;
    int32_t i = 0;
    ((value = i++ == index ? number_of(args) : value), ...);
    return value;
}

// The most bytes (or units) a view's verb may read: its length, or fewer by
// the spec's own precision.
template <class View, class... Args>
int32_t view_bound(const View& view, const Spec& spec, const Args&... args) {
    const size_t size = view.size();
    const int32_t length = size > INT32_MAX ? INT32_MAX : static_cast<int32_t>(size);
    if ((spec.flags & FormatFlag::PRECISION_SET) == 0) return length;
    int32_t precision = spec.precision;
    if (spec.precision_star >= 0) {
        // A negative "*" counts by its magnitude, as in the engine.
        const auto value = static_cast<int32_t>(number_at(spec.first + spec.precision_star, args...));
        precision = value < 0 ? static_cast<int32_t>(0u - static_cast<uint32_t>(value)) : value;
    }
    return precision < 0 ? 0 : precision < length ? precision : length;
}

// The index among the views of the view argument Index.
template <size_t Index, class... Args>
constexpr int32_t view_index() {
    const bool views[sizeof...(Args) + 1] = {is_view_kind(kind_of<Args>())..., false};
    int32_t index = 0;
    for (size_t i = 0; i < Index; ++i) index += views[i] ? 1 : 0;
    return index;
}

// An argument of a checked format as C variadic arguments: a view as its
// bound and its data, anything else as c_value gives it.
template <size_t Index, class... Decayed, class Copies, class T, class... Args>
auto c_values(const FormatString<Decayed...>& format, Copies* copies, const T& argument, const Args&... args) {
    using U = std::tuple_element_t<Index, std::tuple<Decayed...>>;
    if constexpr (is_view_kind(kind_of<U>())) {
        constexpr int32_t VIEW = view_index<Index, Decayed...>();
        const Spec& spec = format.views()[VIEW];
        const int32_t bound = view_bound(argument, spec, args...);
        // The bound is the view's end: reading one past it, to a copy's
        // terminator, keeps a character the end cuts as malformed units.
        const bool whole = bound < INT32_MAX && static_cast<size_t>(bound) == argument.size();
        if constexpr (std::is_same_v<U, std::string_view>) {
            if (whole && view_end_cuts(argument.data(), argument.size())) {
                copies->narrow[VIEW].assign(argument.data(), argument.size());
                return std::make_tuple(bound + 1, copies->narrow[VIEW].c_str());
            }
            return std::make_tuple(bound, argument.data());
        } else {
            if (whole && bound > 0 && (argument[argument.size() - 1] & 0xFC00) == 0xD800) {
                copies->wide[VIEW].assign(argument.data(), argument.size());
                return std::make_tuple(bound + 1, reinterpret_cast<const Char16*>(copies->wide[VIEW].c_str()));
            }
            return std::make_tuple(bound, reinterpret_cast<const Char16*>(argument.data()));
        }
    } else {
        return std::make_tuple(c_value(argument));
    }
}

template <class T>
constexpr bool is_unsigned_integer() {
    return std::is_integral_v<T> && std::is_unsigned_v<T> && !std::is_same_v<T, bool>;
}

// Runs sink(run, C arguments...) unless the arguments do not match the
// format (C++17); then records why and returns false, having run nothing.
template <class... Decayed, class Sink, class... Args, size_t... I>
bool run(const char* call, const FormatString<Decayed...>& format, Sink sink, std::index_sequence<I...>,
         const Args&... args) {
    constexpr bool FLOATING = (std::is_floating_point_v<Decayed> || ...);
    constexpr bool TAKEN = ((kind_of<Decayed>() != Kind::OTHER) && ...);
    // Under C++20 the format's check has said so where it is written.
    static_assert(BRACKET_FORMAT_CHECK_AT_COMPILE_TIME || !FLOATING,
                  "no floating point verbs: format the number yourself");
    static_assert(BRACKET_FORMAT_CHECK_AT_COMPILE_TIME || FLOATING || TAKEN,
                  "no built-in verb takes this argument: pass an integer of at most 64 bits (not bool), "
                  "a pointer, or a text (const char*, std::string, std::string_view or their 16-bit forms)");
    if constexpr (TAKEN) {
        if (!BRACKET_FORMAT_CHECK_AT_COMPILE_TIME && !format.ok()) {
            report_mismatch(call, format.check());
            return false;
        }
        // The face knows which arguments are unsigned: their integer specs
        // run with "u", so that the value prints as it is.
        constexpr uint64_t UNSIGNED =
            (uint64_t{0} | ... | (I < 64 && is_unsigned_integer<Decayed>() ? uint64_t{1} << (I % 64) : 0));
        constexpr int32_t VIEWS = static_cast<int32_t>(VIEW_COUNT<Decayed...>);
        const FaceRun face_run{call, format.get(), format.views(), VIEWS, UNSIGNED};
        if constexpr (VIEWS == 0) {
            sink(&face_run, c_value(args)...);
        } else {
            ViewCopies<VIEW_COUNT<Decayed...>> copies;
            std::apply([&](auto... c) { sink(&face_run, c...); },
                       std::tuple_cat(c_values<I>(format, &copies, args, args...)...));
        }
        return true;
    } else {
        return false;
    }
}

// What C variadic arguments can carry to a verb installed at run time.
template <class T>
constexpr bool passes_as_given() {
    using U = std::decay_t<T>;
    return std::is_arithmetic_v<U> || std::is_enum_v<U> || std::is_pointer_v<U> || std::is_same_v<U, std::nullptr_t> ||
           std::is_same_v<U, std::string> || std::is_same_v<U, std::u16string>;
}

// Refuses, where it is written, an argument of a runtime() format that no
// verb could take.
template <class... Args>
constexpr bool runtime_arguments() {
    constexpr bool VIEWS = (is_view_kind(kind_of<std::decay_t<Args>>()) || ...);
    static_assert(!VIEWS,
                  "a string view cannot pass through a runtime() format: pass std::string(view), "
                  "or view.data() after int(view.size()) for %.*s");
    static_assert(VIEWS || (passes_as_given<Args>() && ...),
                  "no verb can take this argument: pass an integer, a floating point number, a pointer or a text");
    return !VIEWS && (passes_as_given<Args>() && ...);
}

}  // namespace detail

// The text of format with args, of any length (as wide as a width asks);
// empty when the arguments do not match the format (C++17; under C++20 that
// does not compile), and as far as it went when the run failed.
template <class... Args>
std::string format(format_string<Args...> format, Args&&... args) {
    std::string text;
    detail::run(
        "bracket::format", format, [&text](auto... c) { detail::append_formatted(&text, c...); },
        std::index_sequence_for<Args...>{}, args...);
    return text;
}

// The text of a runtime() format with args, passed as given.
template <class... Args>
std::string format(RuntimeFormat format, Args&&... args) {
    std::string text;
    if constexpr (detail::runtime_arguments<Args...>()) {
        const detail::FaceRun run{"bracket::format", format.text, nullptr, 0, 0};
        detail::append_formatted(&text, &run, detail::c_value(args)...);
    }
    return text;
}

// The text of format with args as 16-bit units (UTF-16 for well-formed
// input); empty when the arguments do not match the format (C++17), and as
// far as it went when the run failed.
template <class... Args>
std::u16string format_u16(format_string<Args...> format, Args&&... args) {
    std::u16string text;
    detail::run(
        "bracket::format_u16", format, [&text](auto... c) { detail::append_formatted16(&text, c...); },
        std::index_sequence_for<Args...>{}, args...);
    return text;
}

// format_u16 of a runtime() format, its arguments passed as given.
template <class... Args>
std::u16string format_u16(RuntimeFormat format, Args&&... args) {
    std::u16string text;
    if constexpr (detail::runtime_arguments<Args...>()) {
        const detail::FaceRun run{"bracket::format_u16", format.text, nullptr, 0, 0};
        detail::append_formatted16(&text, &run, detail::c_value(args)...);
    }
    return text;
}

// Writes the text into buffer (size bytes, terminator included; nothing for
// size 0), cut after the last whole character that fits, and reports the
// length written, the length the whole text needed, and whether it failed.
template <class... Args>
FormatToResult format_to(char* buffer, size_t size, format_string<Args...> format, Args&&... args) {
    FormatToResult result{0, 0, false, false};
    const bool ran = detail::run(
        "bracket::format_to", format, [&](auto... c) { result = detail::format_into(buffer, size, c...); },
        std::index_sequence_for<Args...>{}, args...);
    if (!ran && size > 0) buffer[0] = '\0';
    return result;
}

// format_to of a runtime() format, its arguments passed as given.
template <class... Args>
FormatToResult format_to(char* buffer, size_t size, RuntimeFormat format, Args&&... args) {
    FormatToResult result{0, 0, false, false};
    if constexpr (detail::runtime_arguments<Args...>()) {
        const detail::FaceRun run{"bracket::format_to", format.text, nullptr, 0, 0};
        result = detail::format_into(buffer, size, &run, detail::c_value(args)...);
    }
    return result;
}

template <size_t N, class... Args>
FormatToResult format_to(char (&buffer)[N], format_string<Args...> format, Args&&... args) {
    return bracket::format_to(buffer, N, format, std::forward<Args>(args)...);
}

template <size_t N, class... Args>
FormatToResult format_to(char (&buffer)[N], RuntimeFormat format, Args&&... args) {
    return bracket::format_to(buffer, N, format, std::forward<Args>(args)...);
}

}  // namespace bracket
