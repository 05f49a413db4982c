// A checked format's plan: the format read once where it is written, by the
// checker's reader, into literal runs and conversions whose verb, flags,
// width and precision (or the arguments that give them) are known. At run
// time the plan runs with the arguments as typed, through the built-in
// verbs' value writers: no va_list, no reading of the format. Internal to
// the library; installed because the face's templates read it. Not for users.
#pragma once

#include <cstddef>  // size_t
#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>

#include "format/detail/check.h"
#include "format/detail/verb_table.h"

namespace bracket {

struct FormatToResult;

namespace detail {

// A literal run, then one conversion (none at the format's end).
struct PlanStep {
    int32_t literal;         // offset of the run in the format
    int32_t literal_length;  // its bytes; none is "%"
    ValueWriter put;         // the verb's value writer; null after the last run
    uint32_t code;           // the verb
    uint32_t flags;          // as Spec.flags
    int32_t width;           // as Spec.width
    int32_t precision;       // as Spec.precision
    int16_t argument;        // the verb's argument; -1 for none
    int16_t first_star;      // the first "*" argument
    int8_t stars;            // how many "*" arguments come before the verb's own
    int8_t width_star;       // as Spec.width_star
    int8_t precision_star;   // as Spec.precision_star
};

// An argument as the value writers take it.
struct PlanArgument {
    uint64_t bits;   // an integer's bits; a text's or pointer's address
    int32_t length;  // a view's length, at most INT32_MAX; -1 for others
};

// The steps a plan may take for a format with Arguments arguments: one per
// argument, two more for "%%" or "%r", and the last run. A format that needs
// more runs in the engine.
constexpr size_t plan_capacity(size_t arguments) { return arguments + 3; }

template <size_t Capacity>
struct Plan {
    PlanStep steps[Capacity];
    bool ready;  // false: the format runs in the engine
};

// Plans a format that check_format accepts; false when it needs more than
// capacity steps.
constexpr bool make_plan(const char* format, PlanStep* steps, size_t capacity) {
    SpecCursor cursor{format, 0, 0};
    Spec spec{};
    int32_t literal = 0;
    size_t n = 0;
    while (read_next_spec(&cursor, &spec)) {
        if (n + 1 >= capacity || spec.first + spec.stars > INT8_MAX) return false;
        const BuiltinVerb* row = builtin_verb(spec.code);
        const bool takes = row->kinds.plain != Kind::NONE;
        const int32_t argument = spec.first + spec.stars;
        steps[n++] = PlanStep{literal,
                              spec.start - literal,
                              row->put,
                              spec.code,
                              spec.flags,
                              spec.width,
                              spec.precision,
                              static_cast<int16_t>(takes ? argument : -1),
                              static_cast<int16_t>(spec.first),
                              static_cast<int8_t>(spec.stars),
                              static_cast<int8_t>(spec.width_star),
                              static_cast<int8_t>(spec.precision_star)};
        literal = cursor.at;
    }
    int32_t end = literal;
    while (format[end] != '\0') ++end;
    steps[n] = PlanStep{literal, end - literal, nullptr, 0, 0, 0, 0, -1, 0, 0, -1, -1};
    return true;
}

// Returns an argument as the value writers take it.
template <class T>
PlanArgument plan_argument(const T& argument) {
    using U = std::decay_t<const T>;
    if constexpr (std::is_integral_v<U>) {
        return PlanArgument{static_cast<uint64_t>(argument), -1};
    } else if constexpr (std::is_same_v<U, std::string> || std::is_same_v<U, std::u16string>) {
        return PlanArgument{reinterpret_cast<uintptr_t>(argument.c_str()), -1};
    } else if constexpr (std::is_same_v<U, std::string_view> || std::is_same_v<U, std::u16string_view>) {
        const size_t size = argument.size();
        return PlanArgument{reinterpret_cast<uintptr_t>(argument.data()),
                            size > INT32_MAX ? INT32_MAX : static_cast<int32_t>(size)};
    } else if constexpr (std::is_same_v<U, std::nullptr_t>) {
        return PlanArgument{0, -1};
    } else {
        return PlanArgument{reinterpret_cast<uintptr_t>(argument), -1};
    }
}

// The runs of a plan behind the face (format/face.cpp), as append_formatted,
// append_formatted16 and format_into run a format.
void append_planned(std::string* text, const char* format, const PlanStep* steps, const PlanArgument* arguments);
void append_planned16(std::u16string* text, const char* format, const PlanStep* steps, const PlanArgument* arguments);
FormatToResult format_planned_into(char* buffer, size_t size, const char* format, const PlanStep* steps,
                                   const PlanArgument* arguments);

}  // namespace detail
}  // namespace bracket
