#include "portability/error_text.h"

#include <stdarg.h>
#include <string.h>  // memcpy, strlen

// The error text is built into the formatting library, whose internals it uses.
#include "format/detail/text_char.h"
#include "format/detail/writer.h"  // put_counted_field
#include "platform/platform.h"

namespace bracket {

ErrorTextSlot error_text_slot;

void set_error_text(const char* format, ...) {
    // The text is made apart from the slot, so that "%r", or an argument
    // that points into the slot, reads the text as it was before this call.
    char working[ERROR_TEXT_SIZE];
    va_list args;
    va_start(args, format);
    char* end = format_range_args(working, working + ERROR_TEXT_SIZE, format, args);
    va_end(args);
    memcpy(error_text_slot.text, working, static_cast<size_t>(end - working) + 1);
    platform_set_error_code(ERROR_TEXT_CODE);
}

int32_t read_error_text(char* buffer, int32_t size) {
    uint32_t code = platform_error_code();
    if (size <= 0) return 1;
    if (code == ERROR_TEXT_CODE) {
        copy_utf8_bounded(buffer, buffer + size, error_text_slot.text);
    } else {
        system_error_text(code, buffer, size);
    }
    return 1;
}

char* system_error_text(uint32_t code, char* buffer, int32_t size) {
    if (size <= 0) return buffer;
    char working[ERROR_TEXT_SIZE];
    if (platform_error_message(code, working, ERROR_TEXT_SIZE) == 0) {
        format_buffer(working, ERROR_TEXT_SIZE, "windows error %d", static_cast<int32_t>(code));
    }
    // One line: a CR goes, an LF becomes a space, nothing else is trimmed.
    char* kept = working;
    for (const char* p = working; *p != '\0'; ++p) {
        if (*p == '\r') continue;
        *kept++ = *p == '\n' ? ' ' : *p;
    }
    *kept = '\0';
    return copy_utf8_bounded(buffer, buffer + size, working);
}

char* current_system_error_text(char* buffer, int32_t size) {
    return system_error_text(platform_error_code(), buffer, size);
}

char* copy_utf8_bounded(char* begin, char* end, const char* source) {
    if (reinterpret_cast<uintptr_t>(begin) >= reinterpret_cast<uintptr_t>(end)) return begin;
    // Whole characters as the formatter takes them, a malformed byte one of
    // its own, while each fits before the terminator's byte.
    const size_t room = static_cast<size_t>(end - begin) - 1;
    size_t length = 0;
    while (source[length] != '\0') {
        const size_t step = static_cast<size_t>(text_char(source + length, TEXT_CHAR_MAX_BYTES).length);
        if (step > room - length) break;
        length += step;
    }
    memcpy(begin, source, length);
    begin[length] = '\0';
    return begin + length;
}

int32_t convert_error_text(FormatState* state) {
    char text[ERROR_TEXT_SIZE];
    read_error_text(text, ERROR_TEXT_SIZE);
    // The count is the terminated text's own, so a lead byte before the
    // terminator is a malformed byte here, not a character the length cuts.
    return put_counted_field(state, text, count_field_chars(text), static_cast<int32_t>(strlen(text)));
}

}  // namespace bracket
