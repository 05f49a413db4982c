// The formatting library's side of the system's one UTF-8 step
// (platform/utf8_char.h): the field writers, the literal copy, the spec
// reader's verb, the field counters, the bounded copy of the error text, and
// the 16-bit codec of format/utf8.h, which takes the same step and reads a
// four-byte form as malformed bytes. Two public counters of format/utf8.h,
// utf8_sequence_complete and utf8_count_chars_bounded, judge completeness by
// the lead byte alone, as they document. Internal to the library.
#pragma once

#include <stddef.h>  // size_t
#include <stdint.h>
#include <string.h>  // memcpy

#include "format/utf8.h"
#include "platform/utf8_char.h"

namespace bracket {

// The codec's malformed unit and the step's must agree, or a text would read
// differently in a field than in a system call.
static_assert(MALFORMED_CHAR16 == TEXT_CHAR_MALFORMED, "one value for a malformed byte");

// Returns how many of the first n bytes at text lie below 0x80 before the
// first that does not, eight at a time. Reads only those n bytes.
inline size_t ascii_prefix(const char* text, size_t n) {
    size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        uint64_t word;
        memcpy(&word, text + i, sizeof word);
        if ((word & 0x8080808080808080u) != 0) break;
    }
    while (i < n && static_cast<unsigned char>(text[i]) < 0x80) ++i;
    return i;
}

}  // namespace bracket
