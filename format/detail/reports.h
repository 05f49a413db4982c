// The checker's reports where a format is written. Each is a function that
// cannot run in a constant expression: a checked format that fails calls
// one, and the compiler's error names it, with the conversion and the
// argument's type where there are. Internal to the library; installed
// because the face's templates read it. Not for users.
#pragma once

#include <cstddef>  // size_t
#include <cstdint>
#include <utility>  // index_sequence

#include "format/detail/check.h"
#include "format/detail/verb_table.h"

namespace bracket::detail {

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

// The conversions a report can name: every built-in verb, and "*".
using ReportedRows = std::make_index_sequence<static_cast<size_t>(BUILTIN_VERB_ROWS) + 1>;

constexpr char reported_conversion(size_t row) {
    return row < static_cast<size_t>(BUILTIN_VERB_ROWS) ? BUILTIN_VERBS[row].code : '*';
}

template <class Argument, size_t... R>
constexpr void report_argument(const Check& check, std::index_sequence<R...>) {
    if (check.problem == Problem::USE_LL) {
        ((check.conversion == reported_conversion(R)
              ? integer_argument_is_64_bits_use_ll_as_in_lld<reported_conversion(R), Argument>()
              : void()),
         ...);
    } else if (check.problem == Problem::MISMATCH) {
        ((check.conversion == reported_conversion(R)
              ? argument_type_does_not_match_conversion<reported_conversion(R), Argument>()
              : void()),
         ...);
    } else if (check.problem == Problem::TOO_MANY) {
        argument_left_over_after_the_last_conversion<Argument>();
    }
}

template <size_t... R>
constexpr void report_no_argument(const Check& check, std::index_sequence<R...>) {
    ((check.conversion == reported_conversion(R) ? conversion_has_no_argument_left<reported_conversion(R)>() : void()),
     ...);
}

// Reports the check's problem where the format is written.
template <class... Args, size_t... I>
constexpr void report(const Check& check, std::index_sequence<I...>) {
    switch (check.problem) {
        case Problem::NO_FLOATING_POINT: no_floating_point_verbs_format_the_number_yourself(); break;
        case Problem::NOT_BUILT_IN: verb_is_not_built_in_install_it_and_use_bracket_runtime(); break;
        case Problem::UNTERMINATED: format_ends_inside_a_conversion_spec(); break;
        case Problem::VIEW_SPEC_TOO_LONG: conversion_spec_of_a_view_is_over_60_bytes(); break;
        case Problem::TOO_FEW: report_no_argument(check, ReportedRows{}); break;
        default:
            ((check.argument == static_cast<int32_t>(I) ? report_argument<Args>(check, ReportedRows{}) : void()), ...);
    }
}

}  // namespace bracket::detail
