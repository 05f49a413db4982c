// The library's own verbs as one table: each row its code, its handler,
// whether it is a flag character, and the argument it takes by the spec's
// length flags. The engine's table of built-in handlers, the face's argument
// kinds, its checker and its planner all read this one. Adding a verb is one
// row. Internal to the library; installed because the face's templates read
// it. Not for users.
#pragma once

#include <stdint.h>

#include "format/format.h"

namespace bracket::detail {

// What a verb does with an argument, or what an argument can be to a verb.
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
    NONE,      // a verb that takes no argument
    FLOATING,  // a floating point verb: one the library does not have
    OTHER,     // nothing a built-in verb takes; a verb that is not built in
};

// The argument a verb takes with no length flag, "h", "hh", "l" and "ll".
struct KindsByLength {
    Kind plain, h, hh, l, ll;
};

constexpr KindsByLength taking(Kind kind) { return KindsByLength{kind, kind, kind, kind, kind}; }
constexpr KindsByLength INTEGER = {Kind::INT32, Kind::INT32, Kind::INT32, Kind::INT32, Kind::INT64};
constexpr KindsByLength COUNT = {Kind::COUNT32, Kind::COUNT16, Kind::COUNT8, Kind::COUNT32, Kind::COUNT64};

// An argument in hand, for a checked format's plan.
struct ValueArgument {
    uint64_t bits;        // an integer's bits
    const void* pointer;  // a text or a pointer
    int32_t length;       // a view's length, at most INT32_MAX; -1 for any other argument
    bool past;            // a view whose end cuts a character, as a terminated copy:
                          // read whole, it is read one unit past its length
};

// A built-in verb's work with its argument in hand: the state holds the verb
// and the spec. Returns as a ConversionHandler for a verb.
using ValueWriter = int32_t (*)(FormatState* state, const ValueArgument& argument);

int32_t put_integer_value(FormatState* state, const ValueArgument& argument);     // "d" "o" "x" "X" "b"
int32_t put_address_value(FormatState* state, const ValueArgument& argument);     // "p"
int32_t put_char_value(FormatState* state, const ValueArgument& argument);        // "c"
int32_t put_char16_value(FormatState* state, const ValueArgument& argument);      // "C"
int32_t put_string_value(FormatState* state, const ValueArgument& argument);      // "s"
int32_t put_string16_value(FormatState* state, const ValueArgument& argument);    // "S"
int32_t put_count_value(FormatState* state, const ValueArgument& argument);       // "n"
int32_t put_percent_value(FormatState* state, const ValueArgument& argument);     // "%"
int32_t put_error_text_value(FormatState* state, const ValueArgument& argument);  // "r"

struct BuiltinVerb {
    char code;
    ConversionHandler handler;  // null for a verb the library names only to refuse (FLOATING)
    ValueWriter put;            // the handler's work with the argument in hand; null for a flag
    uint32_t flag;              // a flag character's bit; 0 for a verb
    uint32_t flag_again;        // the bit a second one adds ("hh", "ll")
    KindsByLength kinds;
};

// Ascending code order; the engine's built-in table is the rows with a
// handler, in this order.
inline constexpr BuiltinVerb BUILTIN_VERBS[] = {
    {' ', convert_flag, nullptr, FormatFlag::SPACE_SIGN, 0, taking(Kind::NONE)},
    {'#', convert_flag, nullptr, FORMAT_FLAG_ALTERNATE, 0, taking(Kind::NONE)},
    {'%', convert_percent, put_percent_value, 0, 0, taking(Kind::NONE)},
    {'+', convert_flag, nullptr, FormatFlag::PLUS_SIGN, 0, taking(Kind::NONE)},
    {',', convert_flag, nullptr, FormatFlag::GROUP_DIGITS, 0, taking(Kind::NONE)},
    {'-', convert_flag, nullptr, FormatFlag::LEFT_ALIGN, 0, taking(Kind::NONE)},
    {'A', nullptr, nullptr, 0, 0, taking(Kind::FLOATING)},
    {'C', convert_char16, put_char16_value, 0, 0, taking(Kind::INT32)},
    {'E', nullptr, nullptr, 0, 0, taking(Kind::FLOATING)},
    {'F', nullptr, nullptr, 0, 0, taking(Kind::FLOATING)},
    {'G', nullptr, nullptr, 0, 0, taking(Kind::FLOATING)},
    {'S', convert_string16, put_string16_value, 0, 0, taking(Kind::TEXT16)},
    {'X', convert_integer, put_integer_value, 0, 0, INTEGER},
    {'a', nullptr, nullptr, 0, 0, taking(Kind::FLOATING)},
    {'b', convert_integer, put_integer_value, 0, 0, INTEGER},
    {'c', convert_char, put_char_value, 0, 0, taking(Kind::INT32)},
    {'d', convert_integer, put_integer_value, 0, 0, INTEGER},
    {'e', nullptr, nullptr, 0, 0, taking(Kind::FLOATING)},
    {'f', nullptr, nullptr, 0, 0, taking(Kind::FLOATING)},
    {'g', nullptr, nullptr, 0, 0, taking(Kind::FLOATING)},
    {'h', convert_flag, nullptr, FormatFlag::SHORT, FormatFlag::BYTE, taking(Kind::NONE)},
    {'l', convert_flag, nullptr, FormatFlag::LONG, FormatFlag::LONG_LONG, taking(Kind::NONE)},
    {'n', convert_count, put_count_value, 0, 0, COUNT},
    {'o', convert_integer, put_integer_value, 0, 0, INTEGER},
    {'p', convert_integer, put_address_value, 0, 0, taking(Kind::POINTER)},
    {'r', convert_error_text, put_error_text_value, 0, 0, taking(Kind::NONE)},
    {'s', convert_string, put_string_value, 0, 0, taking(Kind::TEXT)},
    {'u', convert_flag, nullptr, FormatFlag::UNSIGNED, 0, taking(Kind::NONE)},
    {'x', convert_integer, put_integer_value, 0, 0, INTEGER},
};

constexpr int32_t BUILTIN_VERB_ROWS = static_cast<int32_t>(sizeof BUILTIN_VERBS / sizeof BUILTIN_VERBS[0]);

// For each ASCII code, the index of its row, or -1: a check that runs when
// the call runs (C++17) looks each verb up in one step. Indexes, not
// pointers: a constant expression may then compare them under every
// sanitizer.
struct BuiltinVerbIndex {
    int8_t rows[128];
};

constexpr BuiltinVerbIndex index_builtin_verbs() {
    BuiltinVerbIndex index{};
    for (int8_t& row : index.rows) row = -1;
    for (int32_t row = 0; row < static_cast<int32_t>(sizeof BUILTIN_VERBS / sizeof BUILTIN_VERBS[0]); ++row) {
        index.rows[static_cast<unsigned char>(BUILTIN_VERBS[row].code)] = static_cast<int8_t>(row);
    }
    return index;
}

inline constexpr BuiltinVerbIndex BUILTIN_VERB_INDEX = index_builtin_verbs();

// Returns the index of code's row in BUILTIN_VERBS, or -1 when no row holds it.
constexpr int32_t builtin_verb_row(uint32_t code) { return code < 128 ? BUILTIN_VERB_INDEX.rows[code] : -1; }

// Returns true for a row the library has a handler for (not one it names
// only to refuse).
constexpr bool is_handled(const BuiltinVerb& row) { return row.kinds.plain != Kind::FLOATING; }

// Returns the rows that have a handler: the engine's built-in verbs.
constexpr int32_t builtin_handled_rows() {
    int32_t rows = 0;
    for (const BuiltinVerb& row : BUILTIN_VERBS) rows += is_handled(row) ? 1 : 0;
    return rows;
}

// Nonzero once install_verb has put a handler over a built-in verb or flag
// character; never cleared. A checked format's plan holds only while it is 0.
extern int32_t builtin_verb_replaced;

// Returns true while no built-in verb or flag character has been replaced:
// one relaxed atomic load (false where the compiler has none we know).
inline bool builtin_verbs_intact() {
#if defined(__GNUC__)
    return __atomic_load_n(&builtin_verb_replaced, __ATOMIC_RELAXED) == 0;
#else
    return false;
#endif
}

// Returns the flags after the flag character of row is read again.
constexpr uint32_t with_flag(const BuiltinVerb& row, uint32_t flags) {
    return flags | row.flag | ((flags & row.flag) != 0 ? row.flag_again : 0);
}

// Returns the kind of argument a verb of these kinds takes with the spec's
// flags.
constexpr Kind kind_by_length(const KindsByLength& kinds, uint32_t flags) {
    // "ll" also carries "l", and "hh" carries "h", so the longer is tested
    // first; "l" wins over "h" ("hl").
    return (flags & FormatFlag::LONG_LONG) ? kinds.ll
           : (flags & FormatFlag::LONG)    ? kinds.l
           : (flags & FormatFlag::BYTE)    ? kinds.hh
           : (flags & FormatFlag::SHORT)   ? kinds.h
                                           : kinds.plain;
}

// Returns the kind of argument a built-in verb takes with the spec's flags;
// OTHER for a character that no row holds.
constexpr Kind wanted_kind(uint32_t code, uint32_t flags) {
    const int32_t row = builtin_verb_row(code);
    return row < 0 ? Kind::OTHER : kind_by_length(BUILTIN_VERBS[row].kinds, flags);
}

// Returns true for the integer verbs, whose "ll" form takes a 64-bit
// integer, and which print an unsigned argument's value under "u".
constexpr bool is_integer_verb(uint32_t code) { return wanted_kind(code, FormatFlag::LONG_LONG) == Kind::INT64; }

// Returns true for a floating point verb, which the library does not have.
constexpr bool is_floating_point_verb(uint32_t code) { return wanted_kind(code, 0) == Kind::FLOATING; }

}  // namespace bracket::detail
