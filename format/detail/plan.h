// A checked format's plan: the format read once where it is written, by the
// checker's reader, into literal runs and conversions whose verb, flags,
// width and precision (or the arguments that give them) are known. At run
// time the plan runs with the arguments as typed, through the built-in
// verbs' value writers: no va_list, no reading of the format. Internal to
// the library; installed because the face's templates read it. Not for users.
#pragma once

#include <cstddef>  // size_t
#include <cstdint>
#include <cstring>  // memcpy
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>  // index_sequence

#include "format/detail/check.h"
#include "format/detail/grammar.h"
#include "format/detail/verb_table.h"

namespace bracket {

struct FormatToResult;

namespace detail {

struct FaceRun;

// A literal run, then one conversion (none at the format's end). Small, so
// that a checked format, which carries its plan, passes cheaply by value.
struct PlanStep {
    uint16_t literal_length;  // the run's bytes; none is "%"
    uint8_t spec_length;      // the spec's bytes, "%" and verb included; the next run follows
    uint8_t code;             // the verb; 0 after the last run
    uint16_t flags;           // as Spec.flags
    uint8_t argument;         // the verb's argument, when its verb takes one
    uint8_t stars;            // STAR_COUNT: the "*" arguments before it; WIDTH_STAR, PRECISION_STAR: which gave what
    int32_t width;            // as Spec.width
    int32_t precision;        // as Spec.precision
};

// The bits of PlanStep.stars: a spec takes at most two "*" arguments here.
constexpr uint8_t STAR_COUNT = 3;              // how many
constexpr uint8_t WIDTH_FROM_FIRST = 4;        // the first gave the width
constexpr uint8_t PRECISION_FROM_FIRST = 8;    // the first gave the precision
constexpr uint8_t PRECISION_FROM_SECOND = 16;  // the second gave the precision

// The steps a plan may take for a format with Arguments arguments: one per
// argument, one more for a "%%" or "%r", and the last run. A format that
// needs more runs in the engine.
constexpr size_t plan_capacity(size_t arguments) { return arguments + 2; }

template <size_t Capacity>
struct Plan {
    PlanStep steps[Capacity];
    bool ready;  // false: the format runs in the engine
};

// Plans a format that check_format accepts, whose arguments unsigned_args
// marks unsigned (bit i, argument i); false when it needs more than capacity
// steps, or more than a step holds.
constexpr bool make_plan(const char* format, PlanStep* steps, size_t capacity, uint64_t unsigned_args) {
    SpecCursor cursor{format, 0, 0};
    Spec spec{};
    int32_t literal = 0;
    size_t n = 0;
    while (read_next_spec(&cursor, &spec)) {
        const int32_t argument = spec.first + spec.stars;
        if (n + 1 >= capacity || argument > UINT8_MAX || spec.stars > 2 || spec.start - literal > UINT16_MAX ||
            cursor.at - spec.start > UINT8_MAX) {
            return false;
        }
        // The engine prints an unsigned argument's value by running its spec
        // from a copy with "u", which it makes for a spec that fits a view's.
        uint32_t flags = spec.flags;
        if (is_integer_verb(spec.code) && argument < 64 && ((unsigned_args >> argument) & 1) != 0 &&
            spec.verb - spec.start - 1 <= VIEW_SPEC_MAX) {
            flags |= FormatFlag::UNSIGNED;
        }
        const uint8_t stars = static_cast<uint8_t>(spec.stars | (spec.width_star == 0 ? WIDTH_FROM_FIRST : 0) |
                                                   (spec.precision_star == 0   ? PRECISION_FROM_FIRST
                                                    : spec.precision_star == 1 ? PRECISION_FROM_SECOND
                                                                               : 0));
        steps[n++] = PlanStep{static_cast<uint16_t>(spec.start - literal),
                              static_cast<uint8_t>(cursor.at - spec.start),
                              static_cast<uint8_t>(spec.code),
                              static_cast<uint16_t>(flags),
                              static_cast<uint8_t>(argument),
                              stars,
                              spec.width,
                              spec.precision};
        literal = cursor.at;
    }
    int32_t end = literal;
    while (format[end] != '\0') ++end;
    if (end - literal > UINT16_MAX) return false;
    steps[n] = PlanStep{static_cast<uint16_t>(end - literal), 0, 0, 0, 0, 0, 0, 0};
    return true;
}

// Returns a pointer argument as the value writers take it; a function's
// address as its bits, as a C variadic argument passes it.
template <class T>
const void* pointer_of(T pointer) {
    if constexpr (std::is_function_v<std::remove_pointer_t<T>>) {
        return reinterpret_cast<const void*>(pointer);
    } else {
        return const_cast<const void*>(static_cast<const volatile void*>(pointer));
    }
}

// Returns an argument other than a view as the value writers take it.
template <class T>
ValueArgument plan_argument(const T& argument) {
    using U = std::decay_t<const T>;
    if constexpr (std::is_integral_v<U>) {
        return ValueArgument{static_cast<uint64_t>(argument), nullptr, -1, false};
    } else if constexpr (std::is_same_v<U, std::string> || is_string16<U>()) {
        return ValueArgument{0, argument.c_str(), -1, false};
    } else if constexpr (std::is_same_v<U, std::nullptr_t>) {
        return ValueArgument{0, nullptr, -1, false};
    } else {
        return ValueArgument{0, pointer_of(argument), -1, false};
    }
}

// A run into a string, through a window the text passes on its way: a line
// fits whole, and the string is then made in one allocation.
struct WindowRun {
    FormatState state;
    alignas(2) char window[256];
};

// A run into a bounded buffer: where the text was cut, and the window the
// rest is counted in.
struct BoundedRun {
    FormatState state;
    char* buffer;
    int32_t room;
    bool cut;
    bool saturated;  // the count reached what 32 bits hold, and the run stopped
    char* cut_at;
    char scratch[64];
};

// Open a run of the face (format/face.cpp); its close puts the text where
// it belongs and, for a bounded buffer, terminates it and stores what it
// did. A close returns true when the run gave what its format asked for,
// and otherwise records the error text for the call.
void open_string_run(WindowRun* run, std::string* text);
void open_string_run(WindowRun* run, std::u16string* text);
bool close_string_run(WindowRun* run, const FaceRun* face_run);
void open_bounded_run(BoundedRun* run, char* buffer, size_t size);
void close_bounded_run(BoundedRun* run, const FaceRun* face_run, FormatToResult* result);

// Writes a literal run as the format loop copies literal text; false when
// the room ran out.
bool put_plan_literal(FormatState* state, const char* text, int32_t length);

// Runs one step of a plan, the format at its literal run, and moves the
// format past the step; false when the run is over (the format's end, or a
// writer's failure). In line: with a checked format's plan, every field is
// a constant where the call is written, and the step folds to its writers.
BRACKET_FORMAT_IN_LINE bool run_plan_step(FormatState* state, const char** format, const PlanStep& step,
                                          const ValueArgument* arguments) {
    if (step.literal_length > 0) {
        // The usual case in line, as the writers' protocol has it: narrow
        // output with room for the whole run, which then goes in one move of
        // a length known where the call is written.
        char* out = state->out;
        const size_t length = step.literal_length;
        if (state->wide == 0 && out <= state->limit && length <= static_cast<size_t>(state->limit - out)) {
            std::memcpy(out, *format, length);
            state->out = out + length;
            state->emitted += step.literal_length;
        } else if (!put_plan_literal(state, *format, step.literal_length)) {
            return false;
        }
    }
    if (step.code == 0) return false;
    *format += step.literal_length + step.spec_length;
    state->verb = step.code;
    state->flags = step.flags;
    state->width = step.width;
    state->precision = step.precision;
    if (step.stars != 0) {
        const ValueArgument* star = arguments + step.argument - (step.stars & STAR_COUNT);
        const int32_t first = star_magnitude(&state->flags, static_cast<int32_t>(star[0].bits));
        if (step.stars & WIDTH_FROM_FIRST) state->width = first;
        if (step.stars & PRECISION_FROM_FIRST) state->precision = first;
        if ((step.stars & STAR_COUNT) == 2) {
            const int32_t second = star_magnitude(&state->flags, static_cast<int32_t>(star[1].bits));
            if (step.stars & PRECISION_FROM_SECOND) state->precision = second;
        }
    }
    // A verb that takes no argument finds the next one, or the list's end.
    const ValueArgument& argument = arguments[step.argument];
    if (BUILTIN_VERBS[builtin_verb_row(step.code)].put(state, argument) >= 0) return true;
    // As the engine's reader records it: a failure for want of room stands.
    if (state->status == FormatStatus::WHOLE) {
        state->status = FormatStatus::HANDLER_FAILED;
        state->stopped_at = *format;
    }
    return false;
}

// Runs a plan's steps, each in line, over an open run.
template <size_t Capacity, size_t... S>
BRACKET_FORMAT_IN_LINE void run_plan_steps(FormatState* state, const char* format, const Plan<Capacity>& plan,
                                           const ValueArgument* arguments, std::index_sequence<S...>) {
    bool going = true;
    ((going = going && run_plan_step(state, &format, plan.steps[S], arguments)), ...);
}

// Runs a plan of any length over an open run, step by step.
inline void run_plan(FormatState* state, const char* format, const PlanStep* steps, const ValueArgument* arguments) {
    while (run_plan_step(state, &format, *steps, arguments)) ++steps;
}

}  // namespace detail
}  // namespace bracket
