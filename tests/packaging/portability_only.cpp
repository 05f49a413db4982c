// Calls the portability library alone: its error text is formatted by the
// formatting library, which the link must find after it.
#include <cstdio>

#include "portability/error_text.h"

int main() {
    set_error_text("no %s", "memory");
    char line[ERROR_TEXT_SIZE];
    read_error_text(line, sizeof line);
    std::puts(line);
    return 0;
}
