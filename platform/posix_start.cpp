// The POSIX start-up: the arguments are the bytes the caller passed, which
// the system's own rule makes UTF-8.
#include "platform/platform.h"

int main(int argc, char** argv) { return bracket::program_main(argc, argv); }
