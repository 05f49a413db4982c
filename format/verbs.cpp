// The verb tables: the library's own verbs, and the process-wide table of
// installed verbs that is searched first.
#include <stdint.h>

#include "format/detail/verb_lookup.h"
#include "format/detail/verb_table.h"
#include "format/format.h"
#include "platform/platform.h"  // platform_lock_process, platform_unlock_process

namespace bracket {

namespace {

// The rows of the table of built-in verbs that have a handler, in its
// order, ended by a row of code 0.
struct BuiltinEntries {
    VerbEntry rows[detail::builtin_handled_rows() + 1];
};

constexpr BuiltinEntries builtin_entries() {
    BuiltinEntries entries{};
    int32_t at = 0;
    for (const detail::BuiltinVerb& row : detail::BUILTIN_VERBS) {
        if (detail::is_handled(row)) {
            entries.rows[at++] = VerbEntry{static_cast<unsigned char>(row.code), row.handler};
        }
    }
    return entries;
}

constexpr BuiltinEntries BUILTIN_ENTRIES = builtin_entries();

}  // namespace

const VerbEntry* const builtin_verbs = BUILTIN_ENTRIES.rows;

int32_t detail::builtin_verb_replaced = 0;

VerbEntry installed_verbs[MAX_INSTALLED_VERBS];
int32_t installed_verb_count = 0;
ConversionHandler installed_ascii_handlers[128];

namespace {

// Rows are written only under the lock, so the writer reads them plainly
// ordered; readers pair their acquire loads with these release stores.
int32_t installed_row_locked(uint32_t code) {
    const int32_t count = load_relaxed(&installed_verb_count);
    for (int32_t i = 0; i < count; ++i) {
        if (load_relaxed(&installed_verbs[i].code) == code) return i;
    }
    return -1;
}

void set_row_handler_locked(int32_t row, uint32_t code, ConversionHandler handler) {
    store_release(&installed_verbs[row].handler, handler);
    if (code < 128) store_release(&installed_ascii_handlers[code], handler);
}

// Appends a row for code; -1 when the table is full.
int32_t append_row_locked(uint32_t code, ConversionHandler handler) {
    const int32_t row = load_relaxed(&installed_verb_count);
    if (row >= MAX_INSTALLED_VERBS) return -1;
    store_relaxed(&installed_verbs[row].handler, handler);
    store_release(&installed_verb_count, row + 1);
    store_release(&installed_verbs[row].code, code);
    if (code < 128) store_release(&installed_ascii_handlers[code], handler);
    return row;
}

// The first use of a built-in verb: copies it in unless a row for its code
// is there by now (another thread's first use, or a caller's install_verb
// since this lookup searched, which must not be undone). Returns the handler
// the lookup is to run.
ConversionHandler copy_in_builtin(const VerbEntry* builtin) {
    verb_table_enter();
    ConversionHandler handler = builtin->handler;
    const int32_t row = installed_row_locked(builtin->code);
    if (row >= 0) {
        handler = load_relaxed(&installed_verbs[row].handler);
    } else {
        append_row_locked(builtin->code, builtin->handler);
    }
    verb_table_leave();
    return handler;
}

}  // namespace

// One lock for every change of the table, a built-in verb's first use included.
void verb_table_enter() { platform_lock_process(); }
void verb_table_leave() { platform_unlock_process(); }

int32_t install_verb(int32_t code, ConversionHandler handler) {
    if (code <= 0 || code >= 0x10000) return -1;
    if (handler == nullptr) handler = convert_bad_verb;
    const uint32_t key = static_cast<uint32_t>(code);
    verb_table_enter();
    // Before the row changes: a checked format's plan, which runs the
    // built-in verbs without the table, must give way by the time the new
    // handler can be found.
    const int32_t builtin = detail::builtin_verb_row(key);
    if (builtin >= 0 && detail::is_handled(detail::BUILTIN_VERBS[builtin])) {
        store_release(&detail::builtin_verb_replaced, 1);
    }
    const int32_t row = installed_row_locked(key);
    int32_t result = 0;
    if (row >= 0) {
        set_row_handler_locked(row, key, handler);
    } else if (append_row_locked(key, handler) < 0) {
        result = -1;
    }
    verb_table_leave();
    return result;
}

ConversionHandler find_verb_handler(Char16 code) { return find_verb_handler_fast(code); }

ConversionHandler find_verb_handler_searched(uint32_t code) {
    const int32_t count = load_acquire(&installed_verb_count);
    for (int32_t i = 0; i < count; ++i) {
        if (load_acquire(&installed_verbs[i].code) == code) {
            return load_acquire(&installed_verbs[i].handler);
        }
    }
    // Copied in on first use so that later lookups stop in the installed
    // table; when that is full the built-in row serves every use, without
    // taking the lock each time.
    for (const VerbEntry* row = builtin_verbs; row->code != 0; ++row) {
        if (row->code == code) {
            if (count >= MAX_INSTALLED_VERBS) return row->handler;
            return copy_in_builtin(row);
        }
    }
    return convert_bad_verb;
}

}  // namespace bracket
