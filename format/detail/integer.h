// The integer conversion with a value in hand, for the format loop's handler
// and for a checked format's plan, which takes no va_list. Internal to the
// library.
#pragma once

#include <stdint.h>

#include "format/format.h"

namespace bracket {

// An integer as the length flags took it.
struct IntegerValue {
    uint64_t value;  // the bits; only the low 32 when not is64
    bool is64;
};

// Returns the argument's bits (an int's, or a long long's under "ll") as the
// length flags take them: "h" and "hh" keep the low 16 and 8 bits, signed
// unless "u".
inline IntegerValue integer_taken(uint32_t flags, uint64_t bits) {
    // "ll" also carries "l", and "hh" carries "h", so the order of these
    // tests matters; "l" is 32 bits, as no length flag is, and wins over
    // "h" ("hl").
    if (flags & FormatFlag::LONG_LONG) return IntegerValue{bits, true};
    const auto low = static_cast<uint32_t>(bits);
    if ((flags & FormatFlag::LONG) != 0 || (flags & (FormatFlag::BYTE | FormatFlag::SHORT)) == 0) {
        return IntegerValue{low, false};
    }
    const bool is_unsigned = (flags & FormatFlag::UNSIGNED) != 0;
    if (flags & FormatFlag::BYTE) {
        return IntegerValue{is_unsigned ? (low & 0xffu) : static_cast<uint32_t>(static_cast<int8_t>(low & 0xffu)),
                            false};
    }
    return IntegerValue{is_unsigned ? (low & 0xffffu) : static_cast<uint32_t>(static_cast<int16_t>(low & 0xffffu)),
                        false};
}

// Writes the integer as the state's verb ("d" "o" "x" "X" "b") and spec say;
// returns 0, or -1 when the buffer is exhausted or the verb is none of those.
int32_t put_integer(FormatState* state, IntegerValue taken);

// Writes an address as "p" does: "x" of its bits, unsigned. Returns as
// put_integer.
int32_t put_address(FormatState* state, uintptr_t address);

}  // namespace bracket
