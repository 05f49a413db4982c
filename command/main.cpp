#include "command/command.h"

int main(int argc, char** argv) { command_main(argc, argv); }
