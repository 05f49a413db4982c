// The error description through strerror_r, for C libraries without
// strerrordesc_np (musl, glibc before 2.32). Which strerror_r a library
// declares is told apart by overloading on its result, not by macros.
#include <limits.h>  // INT_MAX
#include <string.h>  // strerror_r, strlen, memcmp

#include "platform/posix.h"

namespace bracket {

namespace {
// The GNU variant: the text, in work or in the library's own storage.
[[maybe_unused]] const char* text_of(const char* result, char*) { return result; }

// The XSI variant: 0 with the text in work, or an error number (EINVAL for
// an unknown code, ERANGE for a text longer than work).
[[maybe_unused]] const char* text_of(int result, char* work) { return result == 0 ? work : nullptr; }

// The length of text without a trailing decimal number: "Unknown error 42"
// and "Unknown error -7" share their stem.
size_t stem_length(const char* text) {
    size_t length = strlen(text);
    while (length > 0 && text[length - 1] >= '0' && text[length - 1] <= '9') --length;
    if (length > 0 && text[length - 1] == '-') --length;
    return length;
}
}  // namespace

const char* posix_error_description(int32_t code, char* work, size_t size) {
    const char* text = text_of(strerror_r(code, work, size), work);
    if (text == nullptr) return nullptr;
    // What the library says for a code no library knows is its made-up text
    // ("Unknown error N" on glibc, "No error information" on musl): a text
    // with the same stem is no description.
    char unknown_work[128];
    const char* unknown = text_of(strerror_r(INT_MAX, unknown_work, sizeof unknown_work), unknown_work);
    if (unknown == nullptr) return text;
    size_t stem = stem_length(text);
    if (stem == stem_length(unknown) && memcmp(text, unknown, stem) == 0) return nullptr;
    return text;
}

}  // namespace bracket
