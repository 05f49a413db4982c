// Calls the portability library alone: the file status record, which
// reports through the error text of the formatting library, which the link
// must find after it.
#include <cstdio>

#include "portability/error_text.h"
#include "portability/file_status.h"

int main() {
    bracket::set_error_text("no %s", "memory");
    char line[bracket::ERROR_TEXT_SIZE];
    bracket::read_error_text(line, sizeof line);
    std::puts(line);
    bracket::FileStatus* status = bracket::file_status_of_path("/");
    std::puts(status != nullptr && status->kind == bracket::KIND_DIRECTORY ? "/ is a directory" : "/ is not found");
    return 0;
}
