// The verb tables: the library's own verbs, and the process-wide table of
// installed verbs that is searched first.
#include <stdint.h>

#include "format/format.h"
#include "format/verb_lookup.h"
#include "portability/error_text.h"  // convert_error_text serves the verb "r"

// Ascending code order, ended by a row of code 0.
const VerbEntry builtin_verbs[] = {
    {' ', convert_flag},    {'#', convert_flag},     {'%', convert_percent},
    {'+', convert_flag},    {',', convert_flag},     {'-', convert_flag},
    {'C', convert_char16},  {'S', convert_string16}, {'X', convert_integer},
    {'b', convert_integer}, {'c', convert_char},     {'d', convert_integer},
    {'h', convert_flag},    {'l', convert_flag},     {'n', convert_count},
    {'o', convert_integer}, {'p', convert_integer},  {'r', convert_error_text},
    {'s', convert_string},  {'u', convert_flag},     {'x', convert_integer},
    {0, nullptr},
};

VerbEntry installed_verbs[MAX_INSTALLED_VERBS];
int32_t installed_verb_count = 0;

uint8_t installed_row_hint[128];

namespace {
void remember_row(int32_t code, int32_t row) {
    if (code < 128) installed_row_hint[code] = static_cast<uint8_t>(row + 1);
}
}  // namespace

void verb_table_enter() {}
void verb_table_leave() {}

int32_t install_verb(int32_t code, ConversionHandler handler) {
    if (code <= 0 || code >= 0x10000) return -1;
    if (handler == nullptr) handler = convert_bad_verb;
    verb_table_enter();
    for (int32_t i = 0; i < installed_verb_count; ++i) {
        if (installed_verbs[i].code == static_cast<uint32_t>(code)) {
            installed_verbs[i].handler = handler;
            remember_row(code, i);
            verb_table_leave();
            return 0;
        }
    }
    if (installed_verb_count >= MAX_INSTALLED_VERBS) {
        verb_table_leave();
        return -1;
    }
    // Handler first, then the count, then the code: a reader never finds the
    // code in a row whose handler is not yet there.
    VerbEntry* row = &installed_verbs[installed_verb_count];
    row->handler = handler;
    ++installed_verb_count;
    row->code = static_cast<uint32_t>(code);
    remember_row(code, installed_verb_count - 1);
    verb_table_leave();
    return 0;
}

ConversionHandler find_verb_handler(Char16 code) {
    ConversionHandler hinted = hinted_verb_handler(code);
    if (hinted != nullptr) return hinted;
    for (int32_t i = 0; i < installed_verb_count; ++i) {
        if (installed_verbs[i].code == code) return installed_verbs[i].handler;
    }
    // Copied in on first use so that later lookups stop in the installed
    // table; when that is full the built-in row still serves every use.
    for (const VerbEntry* row = builtin_verbs; row->code != 0; ++row) {
        if (row->code == code) {
            install_verb(static_cast<int32_t>(row->code), row->handler);
            return row->handler;
        }
    }
    return convert_bad_verb;
}
