// The verb lookup's shortcut, inline for the format loop. Internal to the
// library.
#pragma once

#include <stdint.h>

#include "format/format.h"

// For each ASCII code, the installed row that install_verb last gave it,
// plus one (0: none). A lookup trusts it only after finding that code in
// that row; codes in use are distinct, so it finds the row that the search
// in order would find, without the search.
extern uint8_t installed_row_hint[128];

// The handler of the installed row hinted for code, or null when there is
// no hint or it no longer holds (then the search decides).
inline ConversionHandler hinted_verb_handler(Char16 code) {
    if (code >= 128) return nullptr;
    const int32_t row = installed_row_hint[code] - 1;
    if (row < 0 || row >= installed_verb_count || installed_verbs[row].code != code) return nullptr;
    return installed_verbs[row].handler;
}

// find_verb_handler, with the hinted row tried first in line.
inline ConversionHandler find_verb_handler_fast(Char16 code) {
    ConversionHandler hinted = hinted_verb_handler(code);
    return hinted != nullptr ? hinted : find_verb_handler(code);
}
