// Calls the formatting library alone: its verb table still needs the
// portability library's error text, which the link must find after it.
#include <cstdio>

#include "format/format.h"

int main() {
    char line[32];
    bracket::format_buffer(line, sizeof line, "%05d|%x", 42, 255);
    std::puts(line);
    return 0;
}
