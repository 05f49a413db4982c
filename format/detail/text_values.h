// The text conversions with a value in hand, for the format loop's handlers
// and for a checked format's plan, which takes no va_list. Internal to the
// library.
#pragma once

#include <stdint.h>

#include "format/format.h"

// Writes value's low 8 bits as "c" does; returns 0, or -1 when the buffer is
// exhausted.
int32_t put_char(FormatState* state, int32_t value);

// Writes value's low 16 bits as "C" does; returns as put_char.
int32_t put_char16(FormatState* state, int32_t value);

// Stores emitted through target as "n" does, by the length flags (null:
// nothing); always 0.
int32_t put_count(FormatState* state, void* target);
