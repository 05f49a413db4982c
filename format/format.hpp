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
#pragma once

#include <cstddef>  // size_t
#include <cstdint>
#include <string>
#include <utility>  // forward

#include "format/detail/arguments.h"  // how arguments reach the engine or the plan; not for users
#include "format/detail/reports.h"    // the checker's reports; not for users
#include "format/format.h"

namespace bracket {

// What format_to did.
struct FormatToResult {
    int32_t length;  // bytes written before the terminator
    int32_t needed;  // bytes the whole text takes, terminator excluded
    bool cut;        // the text did not fit whole: length < needed
    bool ok;         // false (C++17 only): the arguments did not match the
                     // format, and only a terminator was written
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
    BRACKET_FORMAT_CONSTEVAL FormatString(const T& text) : text_(nullptr), ok_(false), views_() {
#if BRACKET_FORMAT_CHECK_AT_COMPILE_TIME && defined(__GNUC__)
        // A format known only at run time would stop the check at its first
        // read, with an error that names no remedy.
        if (!__builtin_constant_p(text[0])) detail::format_is_not_a_constant_use_bracket_runtime();
#endif
        text_ = text;
        const detail::Kind kinds[sizeof...(Args) + 1] = {detail::kind_of<Args>()..., detail::Kind::OTHER};
        const detail::Check check = detail::check_format(text_, kinds, sizeof...(Args));
        ok_ = check.problem == detail::Problem::NONE;
#if BRACKET_FORMAT_CHECK_AT_COMPILE_TIME
        if (!ok_) detail::report<Args...>(check, std::index_sequence_for<Args...>{});
#endif
        if constexpr (VIEWS > 0) {
            if (ok_) detail::find_view_specs(text_, kinds, views_.specs);
        }
#if BRACKET_FORMAT_PLAN
        plan_.ready = ok_ && detail::make_plan(text_, plan_.steps, CAPACITY);
#endif
    }

    // The format's text.
    constexpr const char* get() const { return text_; }
    // True when the arguments match the format (always, under C++20).
    constexpr bool ok() const { return ok_; }
    // The specs of its view arguments, in order; null when it has none.
    constexpr const detail::Spec* views() const { return views_.data(); }
#if BRACKET_FORMAT_PLAN
    // Its plan (C++20); not ready when it runs in the engine.
    constexpr const detail::Plan<detail::plan_capacity(sizeof...(Args))>& plan() const { return plan_; }
#endif

private:
    static constexpr size_t VIEWS = detail::VIEW_COUNT<Args...>;
    static constexpr size_t CAPACITY = detail::plan_capacity(sizeof...(Args));

    const char* text_;
    bool ok_;
    detail::ViewSpecs<VIEWS> views_;
#if BRACKET_FORMAT_PLAN
    detail::Plan<CAPACITY> plan_{};
#endif
};

template <class... Args>
using format_string = FormatString<std::decay_t<Args>...>;

// The text of format with args, of any length; empty when the arguments do
// not match the format (C++17; under C++20 that does not compile).
template <class... Args>
BRACKET_FORMAT_IN_LINE std::string format(format_string<Args...> format, Args&&... args) {
    std::string text;
    detail::run(format, detail::StringOutput{&text}, std::index_sequence_for<Args...>{}, args...);
    return text;
}

// The text of a runtime() format with args, passed as given.
template <class... Args>
std::string format(RuntimeFormat format, Args&&... args) {
    std::string text;
    if constexpr (detail::runtime_arguments<Args...>()) {
        detail::append_formatted(&text, format.text, nullptr, 0, detail::c_value(args)...);
    }
    return text;
}

// The text of format with args as 16-bit units (UTF-16 for well-formed
// input); empty when the arguments do not match the format (C++17).
template <class... Args>
BRACKET_FORMAT_IN_LINE std::u16string format_u16(format_string<Args...> format, Args&&... args) {
    std::u16string text;
    detail::run(format, detail::String16Output{&text}, std::index_sequence_for<Args...>{}, args...);
    return text;
}

// format_u16 of a runtime() format, its arguments passed as given.
template <class... Args>
std::u16string format_u16(RuntimeFormat format, Args&&... args) {
    std::u16string text;
    if constexpr (detail::runtime_arguments<Args...>()) {
        detail::append_formatted16(&text, format.text, nullptr, 0, detail::c_value(args)...);
    }
    return text;
}

// Writes the text into buffer (size bytes, terminator included; nothing for
// size 0), cut after the last whole character that fits, and reports the
// length written and the length the whole text needed.
template <class... Args>
BRACKET_FORMAT_IN_LINE FormatToResult format_to(char* buffer, size_t size, format_string<Args...> format,
                                                Args&&... args) {
    FormatToResult result{0, 0, false, false};
    const bool ran = detail::run(format, detail::BufferOutput<FormatToResult>{buffer, size, &result},
                                 std::index_sequence_for<Args...>{}, args...);
    if (!ran && size > 0) buffer[0] = '\0';
    return result;
}

// format_to of a runtime() format, its arguments passed as given.
template <class... Args>
FormatToResult format_to(char* buffer, size_t size, RuntimeFormat format, Args&&... args) {
    FormatToResult result{0, 0, false, false};
    if constexpr (detail::runtime_arguments<Args...>()) {
        result = detail::format_into(buffer, size, format.text, nullptr, 0, detail::c_value(args)...);
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
