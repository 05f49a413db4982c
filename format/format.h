// The formatting library: printf-style formatting of UTF-8 formats into
// bounded narrow (UTF-8) or wide (16-bit) buffers, through a table of
// conversion verbs that callers extend at run time.
#pragma once

#include <stdarg.h>  // va_list
#include <stdint.h>

#include "format/utf8.h"

namespace bracket {

struct FormatState;

// A verb's handler: takes its arguments from state->args, writes through the
// field writers, and returns > 0 for a flag character (the spec goes on),
// 0 for a finished conversion, < 0 when the output cannot be completed.
using ConversionHandler = int32_t (*)(FormatState* state);

// Called when a unit does not fit, after out and emitted are committed: makes
// room by moving out and limit, and returns nonzero, or returns 0 when no more
// room can be had.
using OverflowHook = int (*)(FormatState* state);

// Why a run's output falls short of what its format asked for. The first
// cause a run meets stays (later writes do nothing once the room is gone).
struct FormatStatus {
    enum : uint8_t {
        WHOLE = 0,           // nothing fell short
        NO_ROOM = 1,         // make_room found no more room
        HANDLER_FAILED = 2,  // a handler returned < 0 with room left
        UNTERMINATED = 3,    // the format ended inside a conversion spec
    };
};

// One formatting call's record, owned by whoever runs the call.
struct FormatState {
    uint8_t wide;                // 0: UTF-8 bytes out; nonzero: Char16 units out
    char* buffer_start;          // for the overflow hook; the library never reads it
    char* out;                   // where the next unit goes (a byte position in both modes)
    char* limit;                 // end of the writable room; an entry point that terminates keeps its byte beyond
    OverflowHook overflow_hook;  // null: the buffer is all the room there is
    void* hook_arg;              // for the overflow hook
    int32_t emitted;             // units committed so far: bytes narrow, Char16 wide
    va_list args;                // the arguments still to be taken
    uint32_t verb;               // the character that selected the running handler
    int32_t width;               // of the current spec; 0 when none
    int32_t precision;           // of the current spec; 0 when none
    uint32_t flags;              // FormatFlag bits of the current spec
    // Set by the run, read by whoever prepared the state and cleared it to
    // WHOLE: a FormatStatus, and, for a failed handler or an unterminated
    // spec, where in the format the spec reader stopped.
    uint8_t status;
    const char* stopped_at;
};

// Flag bits of a conversion spec. They live in a scope of their own because
// Windows users include <windows.h> too, whose BYTE, SHORT and LONG are types.
// Its <wingdi.h> also defines ALTERNATE as a macro (a polygon fill mode),
// which no scope keeps out: the macro is set aside while the bits are
// declared. Code that has seen that macro names the bit through
// FORMAT_FLAG_ALTERNATE, or by FormatFlag::ALTERNATE after #undef ALTERNATE.
#pragma push_macro("ALTERNATE")
#undef ALTERNATE
struct FormatFlag {
    enum : uint32_t {
        WIDTH_SET = 1,
        LEFT_ALIGN = 2,
        PRECISION_SET = 4,
        ALTERNATE = 8,
        SPACE_SIGN = 16,
        PLUS_SIGN = 32,
        ZERO_PAD = 64,
        UNSIGNED = 128,
        SHORT = 256,
        LONG = 512,
        LONG_LONG = 1024,
        GROUP_DIGITS = 2048,
        BYTE = 4096,
    };
};
// FormatFlag::ALTERNATE under a name that <wingdi.h>'s macro cannot reach.
constexpr uint32_t FORMAT_FLAG_ALTERNATE = FormatFlag::ALTERNATE;
#pragma pop_macro("ALTERNATE")

// Commits the units up to write_pos and returns where a unit of bytes_needed
// bytes may go, asking the overflow hook for room; null when the buffer is
// exhausted (limit then equals out, and stays so without a hook).
char* make_room(FormatState* state, char* write_pos, int32_t bytes_needed);

// ---- Field writers: for handlers of the library's own verbs and callers'. ----
// Each returns 0, or -1 when the buffer is exhausted (what was written stays).

// Writes n spaces as bytes; nothing for n <= 0.
int32_t pad_narrow(FormatState* state, int32_t n);
// Writes n spaces as Char16 units; nothing for n <= 0.
int32_t pad_wide(FormatState* state, int32_t n);
// Writes the first count characters of text, of which length bytes may be
// read, as one field with the spec's width, precision and alignment: no more
// characters than lie whole within the length, and a fill of the width less
// the characters written.
int32_t put_utf8_field(FormatState* state, const char* text, int32_t count, int32_t length);
// Returns the characters of a NUL-terminated UTF-8 text as the field writers
// count them, a count for put_utf8_field: a well-formed sequence of one to
// four bytes is one, and so is each malformed byte.
int32_t count_field_chars(const char* text);
// Returns the characters of text that lie whole within its first length
// bytes (stopping at a terminator), counted as count_field_chars counts: a
// count for put_utf8_field with that length. A character that the length
// cuts is not counted; 0 for length <= 0.
int32_t count_field_chars_bounded(const char* text, int32_t length);
// Writes the first count units of text as one field.
int32_t put_char16_field(FormatState* state, const Char16* text, int32_t count);
// Writes a NUL-terminated UTF-8 text (null: "<nil>") as a field.
int32_t format_utf8_string(FormatState* state, const char* text);
// Writes a 0-terminated Char16 text (null: "<nil>") as a field.
int32_t format_char16_string(FormatState* state, const Char16* text);

// ---- The built-in handlers, for callers that install them under other codes. ----
// Each works under any code except convert_integer, which takes its argument
// and returns -1 under a code other than "d" "o" "x" "X" "b" "p".
int32_t convert_char(FormatState* state);      // "c": an int's low 8 bits
int32_t convert_char16(FormatState* state);    // "C": an int's low 16 bits
int32_t convert_string(FormatState* state);    // "s": a UTF-8 text
int32_t convert_string16(FormatState* state);  // "S": a Char16 text
int32_t convert_percent(FormatState* state);   // "%": the verb character itself
int32_t convert_count(FormatState* state);     // "n": stores emitted; always 0
int32_t convert_flag(FormatState* state);      // flag characters; always 1
int32_t convert_bad_verb(FormatState* state);  // a verb without a handler: "%", it, "%"; always 0
int32_t convert_integer(FormatState* state);   // "d" "o" "x" "X" "b" "p"
// "r": the current error text as a field; takes no argument. Defined beside
// the error text (portability/error_text.cpp), built into this archive.
int32_t convert_error_text(FormatState* state);

// ---- Verb tables and the engine. ----

// One row of a verb table.
struct VerbEntry {
    uint32_t code;
    ConversionHandler handler;
};

constexpr int32_t MAX_INSTALLED_VERBS = 64;

// The library's own verbs in ascending code order, ended by a row of code 0.
extern const VerbEntry* const builtin_verbs;

// The installed table holds MAX_INSTALLED_VERBS rows, shared by the verbs
// callers install and the built-in verbs, each copied in on its first use.
// Rows are never removed. Any thread may install verbs while others format.

// Installs or replaces the handler for code (1 to 65535; a null handler
// stands for convert_bad_verb); returns 0, or -1 for a code out of range or
// a new code when the table is full. A format running on another thread
// meanwhile finds the old handler or the new one.
int32_t install_verb(int32_t code, ConversionHandler handler);

// Returns the handler for code: installed first, then built in, else
// convert_bad_verb. Never null. A verb beyond 0xFFFF has no code here: the
// format loop gives it convert_bad_verb.
ConversionHandler find_verb_handler(Char16 code);

// Take and release the process-wide lock that serialises every change of the
// installed table, a built-in verb's first use included (not recursive).
void verb_table_enter();
void verb_table_leave();

// Reads one conversion spec starting just after its "%" and runs its verb;
// returns the position after the verb, or null for an unterminated spec or a
// failed handler.
const char* parse_spec(FormatState* state, const char* position);

// Runs a whole format (null: the empty one) over a prepared state, its
// status cleared first; returns the units this run added to emitted, or -1
// on failure (what was written stays committed; status says why).
int32_t format_run(FormatState* state, const char* format);

// ---- Entry points: narrow output into a caller's buffer, always terminated. ----
// A null format is the empty one: only the terminator is written.

// Returns the bytes written before the terminator (at most size - 1, also
// when the text was cut), or -1 with nothing written when size <= 0.
int32_t format_buffer(char* buffer, int32_t size, const char* format, ...);
int32_t format_buffer_args(char* buffer, int32_t size, const char* format, va_list args);

// Formats into [buffer, end); returns the position of the terminator, or
// null with nothing written when end <= buffer.
char* format_range_args(char* buffer, char* end, const char* format, va_list args);

}  // namespace bracket
