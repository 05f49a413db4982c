// The installed verb table and the lookup's shortcut, inline for the format
// loop. Internal to the library.
//
// Any thread may look verbs up while another installs them. Changes are made
// under verb_table_enter/leave; a lookup reads each field once, atomically,
// so it sees a row either before or after a change, and takes the lock only
// to copy a built-in verb in on its first use.
#pragma once

#include <stdint.h>

#include "format/detail/atomic.h"
#include "format/format.h"

namespace bracket {

// Verbs installed by callers and built-in verbs copied in on first use, in
// order of installation; the first installed_verb_count rows are in use.
// An appended row gets its handler, then the count grows, then it gets its
// code: a reader that finds the code finds the handler.
extern VerbEntry installed_verbs[MAX_INSTALLED_VERBS];
extern int32_t installed_verb_count;

// For each ASCII code, the handler of its installed row, or null while it has
// none. install_verb sets it after the row, so it never names a handler that
// the row did not hold at some moment.
extern ConversionHandler installed_ascii_handlers[128];

// The search behind the shortcut: installed rows in order, then the built-in
// table (copying the verb in), then convert_bad_verb. Never null. A code
// beyond 0xFFFF, a verb that no table can hold, finds no row.
ConversionHandler find_verb_handler_searched(uint32_t code);

// find_verb_handler, with the shortcut tried in line.
inline ConversionHandler find_verb_handler_fast(uint32_t code) {
    if (code < 128) {
        ConversionHandler known = load_acquire(&installed_ascii_handlers[code]);
        if (known != nullptr) return known;
    }
    return find_verb_handler_searched(code);
}

}  // namespace bracket
