// A program of its own on the installed libraries: it adds the verb "Q" (a
// text in double quotes) to the formatting library, formats through it and
// through the C++ face, and reports a failure through the error text,
// printed with the verb "r".
//
// Run without arguments it prints:
//   bracket 0.2.0
//   ["notes.txt"   ]
//   notes holds 5000000000 bytes
//   cannot open "notes.txt"
#include <cstdint>
#include <cstdio>
#include <string_view>

#include "format/format.h"
#include "format/format.hpp"
#include "format/version.h"
#include "portability/error_text.h"

// Every name of the libraries is in the namespace bracket; a program may
// take them in with one line.
using namespace bracket;

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
    // "Q" is installed at run time, so the format is not checked.
    std::puts(bracket::format(bracket::runtime("[%-14Q]"), name).c_str());
    // Checked (as C++20, where it is written): a 64-bit count takes "ll", and
    // a view is bounded by its length.
    const std::string_view stem = std::string_view(name).substr(0, 5);
    std::puts(bracket::format("%s holds %lld bytes", stem, int64_t{5000000000}).c_str());

    // The error text is formatted by the same library, with the verbs
    // installed so far, and read back through "r".
    set_error_text("cannot open %Q", name);
    bracket::format_to(line, "%r");
    std::puts(line);
    return 0;
}
