// The Windows start-up: the runtime's wide start-up splits the command line
// (wmain, linked with -municode), exactly as its ANSI one would, but without
// passing each argument through the ANSI code page, which turns every
// character it lacks into '?' or a look-alike. Each argument is converted
// to UTF-8 here, argv[0] included.
#include <stdint.h>
#include <wchar.h>  // wcslen

#include "platform/platform.h"
#include "platform/utf16.h"

namespace {
// A command line holds at most 32 767 units, terminator included, so no
// vector holds more arguments than that, and no argument more than three
// bytes a unit and its terminator: one static block holds any of them.
constexpr int32_t COMMAND_LINE_UNITS = 32768;
char* argument_vector[COMMAND_LINE_UNITS + 1];
char argument_bytes[4 * COMMAND_LINE_UNITS];
}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 0 || argc > COMMAND_LINE_UNITS) return 1;  // not a vector the system can pass
    char* next = argument_bytes;
    const char* end = argument_bytes + sizeof argument_bytes;
    for (int i = 0; i < argc; ++i) {
        const char16_t* wide = reinterpret_cast<const char16_t*>(argv[i]);
        int32_t length = bracket::platform_utf8_of_utf16(wide, static_cast<int32_t>(wcslen(argv[i])), next,
                                                         static_cast<int32_t>(end - next));
        if (length < 0) return 1;
        argument_vector[i] = next;
        next += length + 1;
    }
    argument_vector[argc] = nullptr;
    return bracket::program_main(argc, argument_vector);
}
