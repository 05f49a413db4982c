// Calls the portability library alone: the file status record, which
// reports through the error text of the formatting library, which the link
// must find after it.
#include <cstdio>

#include "portability/error_text.h"
#include "portability/file_status.h"

int main() {
    set_error_text("no %s", "memory");
    char line[ERROR_TEXT_SIZE];
    read_error_text(line, sizeof line);
    std::puts(line);
    FileStatus* status = file_status_of_path("/");
    std::puts(status != nullptr && status->kind == KIND_DIRECTORY ? "/ is a directory" : "/ is not found");
    return 0;
}
