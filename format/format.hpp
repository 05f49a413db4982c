// The formatting library's C++ face: results as std::string or
// std::u16string, fixed buffers that report the size the text needed, and
// formats checked against their arguments. Every call runs the engine of
// format/format.h over the library's verbs, or a checked format's plan
// through the same writers; nothing here formats on its own.
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
#include <cwchar>  // WCHAR_MAX
#include <string>
#include <utility>  // forward

#include "format/detail/arguments.h"  // how arguments reach the engine or the plan; not for users
#include "format/detail/reports.h"    // the checker's reports; not for users
#include "format/format.h"

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
#if BRACKET_FORMAT_PLAN
        plan_.ready = ok() && detail::make_plan(text_, plan_.steps, CAPACITY, detail::unsigned_arguments<Args...>());
#endif
    }

    constexpr const char* get() const { return text_; }  // the format's text
    // True when the arguments match the format (always, under C++20).
    constexpr bool ok() const { return check_.problem == detail::Problem::NONE; }
    constexpr const detail::Check& check() const { return check_; }        // what the check found
    constexpr const detail::Spec* views() const { return views_.data(); }  // its views' specs, or null
#if BRACKET_FORMAT_PLAN
    // Its plan (C++20); not ready when it runs in the engine.
    constexpr const detail::Plan<detail::plan_capacity(sizeof...(Args))>& plan() const { return plan_; }
#endif

private:
    static constexpr size_t VIEWS = detail::VIEW_COUNT<Args...>;
    static constexpr size_t CAPACITY = detail::plan_capacity(sizeof...(Args));

    const char* text_;
    detail::Check check_;
    detail::ViewSpecs<VIEWS> views_;
#if BRACKET_FORMAT_PLAN
    detail::Plan<CAPACITY> plan_{};
#endif
};

template <class... Args>
using format_string = FormatString<std::decay_t<Args>...>;

// The text of format with args, of any length (as wide as a width asks);
// empty when the arguments do not match the format (C++17; under C++20 that
// does not compile), and as far as it went when the run failed.
template <class... Args>
BRACKET_FORMAT_IN_LINE std::string format(format_string<Args...> format, Args&&... args) {
    std::string text;
    detail::run("bracket::format", format, detail::string_output(&text), std::index_sequence_for<Args...>{}, args...);
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
BRACKET_FORMAT_IN_LINE std::u16string format_u16(format_string<Args...> format, Args&&... args) {
    std::u16string text;
    detail::run("bracket::format_u16", format, detail::string_output(&text), std::index_sequence_for<Args...>{},
                args...);
    return text;
}

// format_u16 of a runtime() format, its arguments passed as given.
template <class... Args>
std::u16string format_u16(RuntimeFormat format, Args&&... args) {
    std::u16string text;
    if constexpr (detail::runtime_arguments<Args...>()) {
        const detail::FaceRun run{"bracket::format_u16", format.text, nullptr, 0, 0};
        detail::append_formatted(&text, &run, detail::c_value(args)...);
    }
    return text;
}

#if WCHAR_MAX <= 0xFFFF
// format_u16's text as a std::wstring, where wchar_t is a 16-bit unit
// (Windows), for the wide calls of the system.
template <class... Args>
std::wstring format_w(format_string<Args...> format, Args&&... args) {
    return detail::wide_string_of(bracket::format_u16(format, std::forward<Args>(args)...));
}
template <class... Args>
std::wstring format_w(RuntimeFormat format, Args&&... args) {
    return detail::wide_string_of(bracket::format_u16(format, std::forward<Args>(args)...));
}
#endif

// Writes the text into buffer (size bytes, terminator included; nothing for
// size 0), cut after the last whole character that fits, and reports the
// length written, the length the whole text needed, and whether it failed.
template <class... Args>
BRACKET_FORMAT_IN_LINE FormatToResult format_to(char* buffer, size_t size, format_string<Args...> format,
                                                Args&&... args) {
    FormatToResult result{0, 0, false, false};
    const bool ran =
        detail::run("bracket::format_to", format, detail::BufferOutput<FormatToResult>{buffer, size, &result},
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
BRACKET_FORMAT_IN_LINE FormatToResult format_to(char (&buffer)[N], format_string<Args...> format, Args&&... args) {
    return bracket::format_to(buffer, N, format, std::forward<Args>(args)...);
}

template <size_t N, class... Args>
FormatToResult format_to(char (&buffer)[N], RuntimeFormat format, Args&&... args) {
    return bracket::format_to(buffer, N, format, std::forward<Args>(args)...);
}

}  // namespace bracket
