// status.exe OPERAND...: prints one line per operand with the file status
// record the Windows build makes for it, so that the Linux test suite can
// check the Win32 backend's answers under Wine. An operand "#N" asks about
// descriptor N instead of a path, and "!N" prints the error text of the
// thread error code N as the verb "r" gives it. A test helper, not part of
// the product.
//
// Line: device_class device unique_path kind mode length [name], with kind
// and mode in hexadecimal; "null" when no record could be made; [text] for "!N".
#include <cstdio>
#include <cstdlib>

#include "platform/platform.h"  // program_main (the arguments arrive in UTF-8), platform_set_error_code
#include "portability/error_text.h"
#include "portability/file_status.h"

using namespace bracket;

int bracket::program_main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const char* operand = argv[i];
        if (operand[0] == '!') {
            char text[ERROR_TEXT_SIZE + 2];
            platform_set_error_code(static_cast<uint32_t>(std::atoi(operand + 1)));
            format_buffer(text, sizeof text, "[%r]");
            std::printf("%s\n", text);
            continue;
        }
        FileStatus* status =
            operand[0] == '#' ? file_status_of_descriptor(std::atoi(operand + 1)) : file_status_of_path(operand);
        if (status == nullptr) {
            std::printf("null\n");
            continue;
        }
        std::printf("%c %d %llu %x %x %lld [%s]\n", static_cast<char>(status->device_class),
                    static_cast<int>(status->device), static_cast<unsigned long long>(status->unique_path),
                    static_cast<unsigned>(status->kind), static_cast<unsigned>(status->mode),
                    static_cast<long long>(status->length), status->name);
        release_file_status(status);
    }
    return 0;
}
