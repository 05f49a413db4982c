// A program of its own on the installed libraries: it adds the verb "Q" (a
// text in double quotes) to the formatting library, formats through it, and
// reports a failure through the error text, printed with the verb "r".
//
// Run without arguments it prints:
//   bracket 0.1.0
//   ["notes.txt"   ]
//   cannot open "notes.txt"
#include <cstdio>

#include "format/format.h"
#include "format/version.h"
#include "portability/error_text.h"

namespace {
// "Q": the argument, a UTF-8 text, in double quotes; width and precision
// apply to the quoted text as a whole.
int32_t convert_quoted(FormatState* state) {
    const char* text = va_arg(state->args, const char*);
    char quoted[64];
    format_buffer(quoted, sizeof quoted, "\"%s\"", text != nullptr ? text : "");
    return format_utf8_string(state, quoted);
}
}  // namespace

int main(int argc, char** argv) {
    const char* name = argc > 1 ? argv[1] : "notes.txt";
    if (install_verb('Q', convert_quoted) != 0) return 1;

    char line[ERROR_TEXT_SIZE];
    format_buffer(line, sizeof line, "bracket %s", BRACKET_VERSION);
    std::puts(line);
    format_buffer(line, sizeof line, "[%-14Q]", name);
    std::puts(line);

    // The error text is formatted by the same library, with the verbs
    // installed so far, and read back through "r".
    set_error_text("cannot open %Q", name);
    format_buffer(line, sizeof line, "%r");
    std::puts(line);
    return 0;
}
