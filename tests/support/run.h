// Runs the built command as a child process, the way a user or a script
// does: a chosen argument vector (argv[0] included), captured output and the
// exit status.
#pragma once

#include <functional>
#include <string>
#include <vector>

struct CommandResult {
    int status = -1;  // exit code; -1 when the child did not exit normally
    std::string out;  // everything written to standard output
    std::string err;  // everything written to standard error
};

struct RunOptions {
    // Runs in the child after its output is redirected and before the
    // command starts: a test may replace descriptors here.
    std::function<void()> child_setup;
    // The child's working directory; empty keeps the test's own.
    std::string directory;
};

// The program the tests run: the built command by default, or the program
// named by BRACKET_TEST_COMMAND. BRACKET_TEST_LAUNCHER, when set, is a
// ';'-separated command that is given the program and the argument vector
// and starts the program with exactly that vector (used for the Windows
// build under Wine).
CommandResult run_command(const std::vector<std::string>& argv, const RunOptions& options = {});

// True when the command under test is the Windows build.
bool windows_target();

// The bytes a diagnostic line has on the target: the Windows runtime writes
// each line feed as CR LF.
std::string diagnostic(const std::string& text_with_line_feed);
