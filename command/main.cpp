#include "command/command.h"
#include "platform/platform.h"

// The platform's start-up calls the program through this.
int bracket::program_main(int argc, char** argv) { command_main(argc, argv); }
