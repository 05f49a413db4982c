// How the C++ face passes a checked or runtime() format's arguments to the
// engine: as C variadic arguments, a view as its bound and its data.
// Internal to the library; installed because the face's templates read it.
// Not for users: names here change without notice.
#pragma once

#include <cstddef>  // size_t
#include <cstdint>
#include <string>
#include <tuple>
#include <type_traits>
#include <utility>

#include "format/detail/check.h"
#include "format/detail/plan.h"
#include "format/format.h"

namespace bracket {

struct FormatToResult;
template <class... Args>
class FormatString;

namespace detail {

// One face call as the engine's runs take it.
struct FaceRun {
    const char* call;    // the call's name, for the error text
    const char* format;  // null: the empty one
    const Spec* views;   // the specs of the view arguments, in order
    int32_t view_count;
    uint64_t unsigned_args;  // bit i: argument i is an unsigned integer
};

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

// The engine's runs behind the face (format/face.cpp). The arguments after
// the run are C variadic arguments as the verbs take them; each view comes
// as the most bytes (or units) its verb may read, then its data. A run that
// falls short records the error text.
void append_formatted(std::string* text, const FaceRun* run, ...);
void append_formatted(std::u16string* text, const FaceRun* run, ...);
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
template <>
struct ViewCopies<0> {};

// True when a whole view is passed as a terminated copy, read one unit past
// its end: a narrow view whose end cuts a character, a wide one that ends in
// a high surrogate.
template <class View>
bool view_needs_copy(const View& view) {
    if constexpr (std::is_same_v<View, std::string_view>) {
        return view_end_cuts(view.data(), view.size());
    } else {
        return !view.empty() && (view[view.size() - 1] & 0xFC00) == 0xD800;
    }
}

// The view's terminated copy in copies.
template <size_t Views, class View>
auto copy_of_view(ViewCopies<Views>* copies, int32_t view, const View& argument) {
    if constexpr (std::is_same_v<View, std::string_view>) {
        return copies->narrow[view].assign(argument.data(), argument.size()).c_str();
    } else {
        const auto* units = reinterpret_cast<const char16_t*>(argument.data());
        return reinterpret_cast<const Char16*>(copies->wide[view].assign(units, argument.size()).c_str());
    }
}

// A 16-bit text as the std::wstring of a system whose wchar_t is 16 bits.
inline std::wstring wide_string_of(const std::u16string& text) { return std::wstring(text.begin(), text.end()); }

// An argument as a C variadic argument.
template <class T>
auto c_value(const T& argument) {
    using U = std::decay_t<const T>;
    if constexpr (std::is_same_v<U, std::string>) {
        return argument.c_str();
    } else if constexpr (is_string16<U>()) {
        return reinterpret_cast<const Char16*>(argument.c_str());
    } else if constexpr (std::is_pointer_v<U> && is_unit16<std::remove_cv_t<std::remove_pointer_t<U>>>()) {
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

// The most bytes (or units) a view's verb may read, with the spec's
// precision as the arguments give it.
template <class View, class... Args>
int32_t view_bound_in(const View& view, const Spec& spec, const Args&... args) {
    const size_t size = view.size();
    const int32_t length = size > INT32_MAX ? INT32_MAX : static_cast<int32_t>(size);
    int32_t precision = spec.precision;
    uint32_t flags = spec.flags;
    if (spec.precision_star >= 0) {
        precision = star_magnitude(&flags, static_cast<int32_t>(number_at(spec.first + spec.precision_star, args...)));
    }
    return view_bound(spec.flags, precision, length);
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
        const int32_t bound = view_bound_in(argument, spec, args...);
        // The bound is the view's end: reading one past it, to a copy's
        // terminator, keeps a character the end cuts as malformed units.
        const bool whole = bound < INT32_MAX && static_cast<size_t>(bound) == argument.size();
        if (whole && view_needs_copy(argument)) return std::make_tuple(bound + 1, copy_of_view(copies, VIEW, argument));
        if constexpr (std::is_same_v<U, std::string_view>) {
            return std::make_tuple(bound, argument.data());
        } else {
            return std::make_tuple(bound, reinterpret_cast<const Char16*>(argument.data()));
        }
    } else {
        return std::make_tuple(c_value(argument));
    }
}

// An argument of a checked format as its plan's value writers take it: a
// view that needs it as its terminated copy.
template <size_t Index, class... Decayed, class Copies, class T>
ValueArgument plan_values(Copies* copies, const T& argument) {
    using U = std::tuple_element_t<Index, std::tuple<Decayed...>>;
    if constexpr (is_view_kind(kind_of<U>())) {
        const size_t size = argument.size();
        const int32_t length = size > INT32_MAX ? INT32_MAX : static_cast<int32_t>(size);
        if (view_needs_copy(argument)) {
            const auto* copy = copy_of_view(copies, view_index<Index, Decayed...>(), argument);
            return ValueArgument{0, copy, length, true};
        }
        return ValueArgument{0, argument.data(), length, false};
    } else {
        return plan_argument(argument);
    }
}

template <class T>
constexpr bool is_unsigned_integer() {
    return std::is_integral_v<T> && std::is_unsigned_v<T> && !std::is_same_v<T, bool>;
}

// Bit i: argument i (of the first 64) is an unsigned integer, whose value
// the integer verbs print as it is.
template <class... Decayed>
constexpr uint64_t unsigned_arguments() {
    uint64_t bits = 0;
    uint64_t bit = 1;
    ((bits |= is_unsigned_integer<Decayed>() ? bit : 0, bit <<= 1), ...);
    return bits;
}

// Where a face call's text goes, from the engine's run of the format with C
// variadic arguments, or from the run of its plan with the arguments as
// typed: a std::string or a std::u16string.
template <class String>
struct StringOutput {
    String* text;
    template <class... C>
    void engine(const FaceRun* run, C... c) const {
        append_formatted(text, run, c...);
    }
    template <size_t Capacity>
    BRACKET_FORMAT_IN_LINE void planned(const FaceRun* face_run, const Plan<Capacity>& plan,
                                        const ValueArgument* arguments) const {
        WindowRun run;
        open_string_run(&run, text);
        run_plan_steps(&run.state, face_run->format, plan, arguments, std::make_index_sequence<Capacity>{});
        close_string_run(&run, face_run);
    }
};

template <class String>
StringOutput<String> string_output(String* text) {
    return StringOutput<String>{text};
}

template <class Result>
struct BufferOutput {
    char* buffer;
    size_t size;
    Result* result;
    template <class... C>
    void engine(const FaceRun* run, C... c) const {
        *result = format_into(buffer, size, run, c...);
    }
    template <size_t Capacity>
    BRACKET_FORMAT_IN_LINE void planned(const FaceRun* face_run, const Plan<Capacity>& plan,
                                        const ValueArgument* arguments) const {
        BoundedRun run;
        open_bounded_run(&run, buffer, size);
        run_plan_steps(&run.state, face_run->format, plan, arguments, std::make_index_sequence<Capacity>{});
        close_bounded_run(&run, face_run, result);
    }
};

// Runs the format into output unless the arguments do not match it (C++17);
// then records why and returns false, having run nothing. A planned format
// runs its plan while the built-in verbs are the table's; otherwise the
// engine runs it.
template <class... Decayed, class Output, class... Args, size_t... I>
BRACKET_FORMAT_IN_LINE bool run(const char* call, const FormatString<Decayed...>& format, const Output& output,
                                std::index_sequence<I...>, const Args&... args) {
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
        constexpr uint64_t UNSIGNED = unsigned_arguments<Decayed...>();
        constexpr int32_t VIEWS = static_cast<int32_t>(VIEW_COUNT<Decayed...>);
        const FaceRun face_run{call, format.get(), format.views(), VIEWS, UNSIGNED};
        ViewCopies<VIEW_COUNT<Decayed...>> copies;
#if BRACKET_FORMAT_PLAN
        if (format.plan().ready && builtin_verbs_intact()) {
            const ValueArgument arguments[sizeof...(Args) + 1] = {plan_values<I, Decayed...>(&copies, args)...,
                                                                  ValueArgument{0, nullptr, -1, false}};
            output.planned(&face_run, format.plan(), arguments);
            return true;
        }
#endif
        if constexpr (VIEWS == 0) {
            output.engine(&face_run, c_value(args)...);
        } else {
            std::apply([&](auto... c) { output.engine(&face_run, c...); },
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
           std::is_same_v<U, std::string> || is_string16<U>();
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
}  // namespace bracket
