#include "command/command.h"
#include "platform/platform.h"

int program_main(int argc, char** argv) { command_main(argc, argv); }
