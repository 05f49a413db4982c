// The system's own error text, reported through the thread's error code the
// way the platform reports its failures: while the code is ERROR_TEXT_CODE
// the current error text is the slot's; otherwise it is the platform's text
// for the code.
#pragma once

#include <stdint.h>

#include "format/format.h"

namespace bracket {

// The thread error code that marks the slot's text as current.
constexpr uint32_t ERROR_TEXT_CODE = 0xffffff;

// The size of the slot and of every working buffer here, terminator
// included: an error text is at most 127 bytes.
constexpr int32_t ERROR_TEXT_SIZE = 128;

// One process-wide text, written only by set_error_text and never cleared.
// Unlike the formatting library it takes no lock: callers serialise
// set_error_text and every read of the slot (read_error_text, the verb "r").
struct ErrorTextSlot {
    char text[ERROR_TEXT_SIZE];
};

extern ErrorTextSlot error_text_slot;

// Formats the message (a format of the formatting library), cut at a
// character boundary to 127 bytes, into the slot, and then sets the thread
// error code to ERROR_TEXT_CODE. "%r" and arguments read the text as it was
// before the call. Never fails.
void set_error_text(const char* format, ...);

// Writes the current error text into buffer (size bytes, terminator
// included; nothing for size <= 0). Always returns 1.
int32_t read_error_text(char* buffer, int32_t size);

// Writes the platform's text for code, brought to one line (or "windows
// error %d" when the platform has none), into buffer; returns the position
// of the terminator written, or buffer itself when size <= 0.
char* system_error_text(uint32_t code, char* buffer, int32_t size);

// system_error_text for the thread's current error code. For the library's
// users: nothing in the command calls it.
char* current_system_error_text(char* buffer, int32_t size);

// Copies source into [begin, end) byte for byte and terminates it after the
// last whole character that fits with the terminator (a malformed byte is a
// character of its own); returns the position of the terminator, or begin
// with nothing written when end <= begin.
char* copy_utf8_bounded(char* begin, char* end, const char* source);

}  // namespace bracket
