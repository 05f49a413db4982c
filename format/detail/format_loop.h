// The format loop for the library's own callers, which run one format in
// stretches. Internal to the library.
#pragma once

#include "format/format.h"

namespace bracket {

// Runs the format from position as format_run does, up to the spec whose "%"
// is at stop (null: to the end); returns stop, or the format's terminator
// when it came first, or null when the output stopped or a spec was
// unterminated.
const char* format_run_to(FormatState* state, const char* position, const char* stop);

// Copies the format's literal text from position up to the next "%" or the
// terminator, as the format loop copies it; returns where it stopped, or null
// when the buffer ran out.
const char* format_copy_literal(FormatState* state, const char* position);

}  // namespace bracket
