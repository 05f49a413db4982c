// The formatting library's C++ face: results as std::string or
// std::u16string, fixed buffers that report the size the text needed, and,
// under C++20, formats checked against their arguments at compile time.
// Every call runs the engine of format/format.h over the library's verbs;
// nothing here formats on its own.
//
// The checked formats use the built-in verbs only. A format with verbs
// installed at run time (or a format known only at run time) goes through
// bracket::runtime(format), and its arguments are passed as given.
//
// Under C++17 the same calls compile; the check then runs before formatting,
// and a format whose arguments do not match gives an empty text (format_to:
// ok false) rather than undefined behaviour.
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
    int32_t needed;  // bytes the whole text takes, terminator excluded
    bool cut;        // the text did not fit whole: length < needed
    bool ok;         // false: the arguments did not match the format, and
                     // only a terminator was written
};

// A format whose verbs are not all built in: not checked, arguments as given.
struct RuntimeFormat {
    const char* text;
};

// Marks format as one that is not to be checked (see RuntimeFormat).
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

enum class Problem : uint8_t {
    NONE,
    MISMATCH,         // the argument is not of a type the conversion takes
    USE_LL,           // a 64-bit integer for a conversion without "ll"
    NO_BUILTIN_VERB,  // the verb is not built in
    UNTERMINATED,     // the format ends inside a conversion spec
    TOO_FEW,          // a conversion has no argument left
    TOO_MANY,         // arguments are left over
};

struct Check {
    Problem problem;
    int32_t argument;  // the argument at fault
    char conversion;   // the conversion at fault ("*" for a width or precision)
};

// Where a view's conversion is and the precision that bounds its bytes.
struct ViewPlan {
    int32_t verb_offset;
    int32_t precision;
};

constexpr bool is_pointer_kind(Kind kind) {
    return kind == Kind::TEXT || kind == Kind::TEXT16 || kind == Kind::POINTER || kind == Kind::COUNT8 ||
           kind == Kind::COUNT16 || kind == Kind::COUNT32 || kind == Kind::COUNT64;
}

// Reads the format as the engine does with the built-in verbs and matches
// each argument to what its conversion takes. With numbers (the integers'
// values) and sizes (the views' sizes), also fills plan for each view.
constexpr Check check_format(const char* format, const Kind* kinds, int32_t count, const int64_t* numbers,
                             const size_t* sizes, ViewPlan* plan) {
    constexpr uint32_t WIDTH_SET = FormatFlag::WIDTH_SET, PRECISION_SET = FormatFlag::PRECISION_SET;
    int32_t next = 0;
    const char* p = format;
    for (;;) {
        const char c = *p++;
        if (c == '\0') break;
        if (c != '%') continue;
        uint32_t flags = 0;
        int32_t precision = 0;
        bool more = true;
        while (more) {
            const char* at = p;
            const unsigned char v = static_cast<unsigned char>(*p++);
            int32_t number = 0;
            bool store = false;
            Kind want = Kind::OTHER;
            switch (v) {
                case 0: return Check{Problem::UNTERMINATED, next, '%'};
                case ' ':
                case '#':
                case '+':
                case ',':
                case '-':
                case 'u': continue;
                case 'h':
                    flags |= (flags & FormatFlag::SHORT) ? FormatFlag::SHORT | FormatFlag::BYTE : FormatFlag::SHORT;
                    continue;
                case 'l':
                    flags |= (flags & FormatFlag::LONG) ? FormatFlag::LONG | FormatFlag::LONG_LONG : FormatFlag::LONG;
                    continue;
                case '.': flags |= WIDTH_SET | PRECISION_SET; continue;
                case '%':
                case 'r': more = false; continue;
                case '*':
                    if (next >= count) return Check{Problem::TOO_FEW, next, '*'};
                    if (kinds[next] != Kind::INT32) return Check{Problem::MISMATCH, next, '*'};
                    number = numbers != nullptr ? static_cast<int32_t>(numbers[next]) : 0;
                    if (number < 0) number = static_cast<int32_t>(0u - static_cast<uint32_t>(number));
                    ++next;
                    store = true;
                    break;
                case 'd':
                case 'o':
                case 'x':
                case 'X':
                case 'b': want = (flags & FormatFlag::LONG_LONG) ? Kind::INT64 : Kind::INT32; break;
                case 'c':
                case 'C': want = Kind::INT32; break;
                case 's': want = Kind::TEXT; break;
                case 'S': want = Kind::TEXT16; break;
                case 'p': want = Kind::POINTER; break;
                case 'n':
                    want = (flags & FormatFlag::LONG_LONG) ? Kind::COUNT64
                           : (flags & FormatFlag::LONG)    ? Kind::COUNT32
                           : (flags & FormatFlag::BYTE)    ? Kind::COUNT8
                           : (flags & FormatFlag::SHORT)   ? Kind::COUNT16
                                                           : Kind::COUNT32;
                    break;
                default:
                    if ((v >= '1' && v <= '9') || (v == '0' && (flags & WIDTH_SET))) {
                        uint32_t value = 0;
                        for (p = at; *p >= '0' && *p <= '9'; ++p) value = value * 10 + static_cast<uint32_t>(*p - '0');
                        number = static_cast<int32_t>(value);
                        store = true;
                        break;
                    }
                    if (v == '0') continue;  // the zero flag
                    return Check{Problem::NO_BUILTIN_VERB, next, static_cast<char>(v)};
            }
            if (store) {
                // The first number is the width unless a "." came first.
                if (flags & WIDTH_SET) {
                    precision = number;
                    flags |= PRECISION_SET;
                } else {
                    flags |= WIDTH_SET;
                }
                continue;
            }
            more = false;
            if (next >= count) return Check{Problem::TOO_FEW, next, static_cast<char>(v)};
            const Kind kind = kinds[next];
            bool fits = kind == want;
            if (want == Kind::TEXT) fits = kind == Kind::TEXT || kind == Kind::STRING || kind == Kind::VIEW;
            if (want == Kind::TEXT16) fits = kind == Kind::TEXT16 || kind == Kind::STRING16 || kind == Kind::VIEW16;
            if (want == Kind::POINTER) fits = is_pointer_kind(kind);
            if (!fits) {
                const bool use_ll = want == Kind::INT32 && kind == Kind::INT64 && v != 'c' && v != 'C';
                return Check{use_ll ? Problem::USE_LL : Problem::MISMATCH, next, static_cast<char>(v)};
            }
            if ((kind == Kind::VIEW || kind == Kind::VIEW16) && plan != nullptr) {
                const size_t size = sizes[next];
                const int32_t length = size > INT32_MAX ? INT32_MAX : static_cast<int32_t>(size);
                int32_t bound = length;
                if (flags & PRECISION_SET) bound = precision < 0 ? 0 : precision < length ? precision : length;
                plan[next] = ViewPlan{static_cast<int32_t>(at - format), bound};
            }
            ++next;
        }
    }
    if (next < count) return Check{Problem::TOO_MANY, next, 0};
    return Check{Problem::NONE, 0, 0};
}

// ---- Compile-time reports. Each is a function that cannot run in a constant
// expression: a checked format that fails calls one, and the compiler's error
// names it, with the conversion and the argument's type. ----

template <char Conversion, class Argument>
void argument_type_does_not_match_conversion() {}
template <char Conversion, class Argument>
void integer_argument_is_64_bits_use_ll_as_in_lld() {}
template <char Conversion>
void conversion_has_no_builtin_verb_use_bracket_runtime() {}
template <char Conversion>
void conversion_has_no_argument_left() {}
inline void conversion_outside_printable_ascii_has_no_builtin_verb_use_bracket_runtime() {}
template <class Argument>
void argument_left_over_after_the_last_conversion() {}
inline void format_ends_inside_a_conversion_spec() {}

template <class A, char... Cs>
constexpr void report_argument(const Check& check, std::integer_sequence<char, Cs...>) {
    if (check.problem == Problem::USE_LL) {
        ((check.conversion == Cs ? integer_argument_is_64_bits_use_ll_as_in_lld<Cs, A>() : void()), ...);
    } else if (check.problem == Problem::MISMATCH) {
        ((check.conversion == Cs ? argument_type_does_not_match_conversion<Cs, A>() : void()), ...);
    } else if (check.problem == Problem::TOO_MANY) {
        argument_left_over_after_the_last_conversion<A>();
    }
}

template <char... Cs>
constexpr void report_conversion(const Check& check, std::integer_sequence<char, Cs...>) {
    if (check.problem == Problem::TOO_FEW) {
        ((check.conversion == Cs ? conversion_has_no_argument_left<Cs>() : void()), ...);
    } else if (check.conversion >= ' ' && check.conversion <= '~') {
        ((check.conversion == Cs ? conversion_has_no_builtin_verb_use_bracket_runtime<Cs>() : void()), ...);
    } else {
        conversion_outside_printable_ascii_has_no_builtin_verb_use_bracket_runtime();
    }
}

using ArgumentConversions = std::integer_sequence<char, 'd', 'o', 'x', 'X', 'b', 'c', 'C', 's', 'S', 'p', 'n', '*'>;

template <char... Cs>
constexpr auto printable(std::integer_sequence<char, Cs...>) {
    return std::integer_sequence<char, static_cast<char>(Cs + ' ')...>{};
}
using PrintableConversions = decltype(printable(std::make_integer_sequence<char, 95>{}));

template <class... Args, size_t... I>
constexpr void report(const Check& check, std::index_sequence<I...>) {
    switch (check.problem) {
        case Problem::UNTERMINATED: format_ends_inside_a_conversion_spec(); break;
        case Problem::TOO_FEW:
        case Problem::NO_BUILTIN_VERB: report_conversion(check, PrintableConversions{}); break;
        default:
            ((check.argument == static_cast<int32_t>(I) ? report_argument<Args>(check, ArgumentConversions{}) : void()),
             ...);
    }
}

template <class... Args>
constexpr bool check_only(const char* format) {
    const Kind kinds[sizeof...(Args) + 1] = {kind_of<Args>()..., Kind::OTHER};
    return check_format(format, kinds, sizeof...(Args), nullptr, nullptr, nullptr).problem == Problem::NONE;
}

template <class T>
struct type_identity {
    using type = T;
};

}  // namespace detail

// A format for the arguments Args (decayed). Under C++20 a literal format is
// checked where it is written; bracket::runtime(format) is never checked.
template <class... Args>
class FormatString {
public:
    BRACKET_FORMAT_CONSTEVAL FormatString(const char* text) : text_(text), checked_(true) {
#if BRACKET_FORMAT_CHECK_AT_COMPILE_TIME
        const detail::Kind kinds[sizeof...(Args) + 1] = {detail::kind_of<Args>()..., detail::Kind::OTHER};
        const detail::Check check = detail::check_format(text, kinds, sizeof...(Args), nullptr, nullptr, nullptr);
        if (check.problem != detail::Problem::NONE) {
            detail::report<Args...>(check, std::index_sequence_for<Args...>{});
        }
#endif
    }
    constexpr FormatString(RuntimeFormat format) : text_(format.text), checked_(false) {}

    // The format's text.
    constexpr const char* get() const { return text_; }
    // False for a bracket::runtime format.
    constexpr bool checked() const { return checked_; }

private:
    const char* text_;
    bool checked_;
};

template <class... Args>
using format_string = FormatString<typename detail::type_identity<std::decay_t<Args>>::type...>;

namespace detail {

// The engine's runs behind the face (format/face.cpp); the arguments after
// format are C variadic arguments as the verbs take them.
void append_formatted(std::string* text, const char* format, ...);
void append_formatted16(std::u16string* text, const char* format, ...);
FormatToResult format_into(char* buffer, size_t size, const char* format, ...);

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
constexpr bool is_view() {
    return std::is_same_v<T, std::string_view> || std::is_same_v<T, std::u16string_view>;
}

// A view becomes its precision and its data; every other argument itself.
template <class T>
auto c_values(const T& argument, const ViewPlan& plan) {
    if constexpr (std::is_same_v<T, std::string_view>) {
        return std::make_tuple(plan.precision, argument.data());
    } else if constexpr (std::is_same_v<T, std::u16string_view>) {
        return std::make_tuple(plan.precision, reinterpret_cast<const Char16*>(argument.data()));
    } else {
        return std::make_tuple(c_value(argument));
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

template <class T>
size_t size_of(const T& argument) {
    if constexpr (is_view<T>()) {
        return argument.size();
    } else {
        return 0;
    }
}

// What C variadic arguments can carry (a view only with a checked format).
template <class T>
constexpr bool passes_as_given() {
    using U = std::decay_t<const T>;
    return std::is_arithmetic_v<U> || std::is_enum_v<U> || std::is_pointer_v<U> || std::is_same_v<U, std::nullptr_t> ||
           std::is_same_v<U, std::string> || std::is_same_v<U, std::u16string>;
}

template <class Sink, class... Args, size_t... I>
void run_with_views(const char* text, const Kind* kinds, const ViewPlan* plan, Sink& sink, std::index_sequence<I...>,
                    const Args&... args) {
    std::string rewritten;
    int32_t copied = 0;
    for (size_t i = 0; i < sizeof...(Args); ++i) {
        if (kinds[i] != Kind::VIEW && kinds[i] != Kind::VIEW16) continue;
        rewritten.append(text + copied, static_cast<size_t>(plan[i].verb_offset - copied));
        rewritten.append(".*");
        copied = plan[i].verb_offset;
    }
    rewritten.append(text + copied);
    auto values = std::tuple_cat(c_values(args, plan[I])...);
    std::apply([&](auto... c) { sink(rewritten.c_str(), c...); }, values);
}

// Runs sink(format, C arguments...) unless the arguments do not match the
// format; then returns false, having run nothing. A view's conversion gets
// ".*" before its verb, and the view's length (bounded by any precision of
// the conversion spec) before its data.
template <class... Decayed, class Sink, class... Args>
bool run(const FormatString<Decayed...>& format, Sink sink, const Args&... args) {
    constexpr bool has_views = (is_view<Decayed>() || ...);
    if constexpr (!((passes_as_given<Args>() || is_view<Decayed>()) && ...)) {
        return false;  // no built-in verb takes it (under C++20: refused where written)
    } else if constexpr (!has_views) {
#if !BRACKET_FORMAT_CHECK_AT_COMPILE_TIME
        if (format.checked() && !check_only<Decayed...>(format.get())) return false;
#endif
        sink(format.get(), c_value(args)...);
        return true;
    } else {
        // Only a checked format says which conversion takes a view.
        if (!format.checked()) return false;
        constexpr int32_t count = sizeof...(Args);
        const Kind kinds[count] = {kind_of<Decayed>()...};
        const int64_t numbers[count] = {number_of(args)...};
        const size_t sizes[count] = {size_of(args)...};
        ViewPlan plan[count] = {};
        const char* text = format.get();
        if (check_format(text, kinds, count, numbers, sizes, plan).problem != Problem::NONE) return false;
        run_with_views(text, kinds, plan, sink, std::index_sequence_for<Args...>{}, args...);
        return true;
    }
}

}  // namespace detail

// The text of format with args, of any length; empty when the arguments do
// not match the format (C++17; under C++20 that does not compile).
template <class... Args>
std::string format(format_string<Args...> format, Args&&... args) {
    std::string text;
    detail::run(
        format, [&text](const char* f, auto... c) { detail::append_formatted(&text, f, c...); }, args...);
    return text;
}

// The text of format with args as 16-bit units (UTF-16 for well-formed
// input); empty when the arguments do not match the format.
template <class... Args>
std::u16string format_u16(format_string<Args...> format, Args&&... args) {
    std::u16string text;
    detail::run(
        format, [&text](const char* f, auto... c) { detail::append_formatted16(&text, f, c...); }, args...);
    return text;
}

// Writes the text into buffer (size bytes, terminator included; nothing for
// size 0), cut after the last whole character that fits, and reports the
// length written and the length the whole text needed.
template <class... Args>
FormatToResult format_to(char* buffer, size_t size, format_string<Args...> format, Args&&... args) {
    FormatToResult result{0, 0, false, false};
    const bool ran = detail::run(
        format, [&](const char* f, auto... c) { result = detail::format_into(buffer, size, f, c...); }, args...);
    if (!ran && size > 0) buffer[0] = '\0';
    return result;
}

template <size_t N, class... Args>
FormatToResult format_to(char (&buffer)[N], format_string<Args...> format, Args&&... args) {
    return bracket::format_to(buffer, N, format, std::forward<Args>(args)...);
}

}  // namespace bracket
