// The test command: entry, argument cursor and expression evaluator.
#pragma once

#include <stdint.h>

// The expression's tokens, read front to back. One per process.
struct ArgCursor {
    int32_t count;     // usable arguments, the program name included
    char** vector;     // vector[count] is null
    int32_t position;  // index of the next token; may run past count
    char* last;        // the token most recently read; the design names it, nothing reads it
};

extern ArgCursor arg_cursor;

// Truth values: 0 is false, anything else true.
using Truth = int32_t;

// Returns the next token and advances. At the end: an optional read returns
// null (still advancing); a required read is the "argument expected" error.
char* next_token(bool optional);

// Moves the cursor back by one token.
void give_back();

// Consumes the next token and stores its value when it is an integer;
// returns false, consuming nothing, otherwise.
bool next_integer_token(int32_t* value);

// Converts text as strtol in base 0 would, clamped to 32 bits, and always
// stores the value; returns true when the whole text was converted.
bool parse_integer(const char* text, int32_t* value);

// Writes "test: " message detail and a line feed to standard error and ends
// the process with exit code 1.
[[noreturn]] void syntax_error(const char* message, const char* detail);

// Ends the process: code 0 for a null or empty status text, 1 otherwise.
// The runtime's exit handlers run.
[[noreturn]] void exit_with_status(const char* status);

// As exit_with_status, but ends the process without the exit handlers.
// Called by nothing in the command; the design names it.
[[noreturn]] void exit_with_status_now(const char* status);

// The command's entry: evaluates the expression in argv and ends the process.
[[noreturn]] void command_main(int32_t argc, char** argv);

// The grammar, one function a level, each returning the truth of what it read.
Truth eval_or();
Truth eval_and();
Truth eval_not();
Truth eval_primary();

// File and descriptor predicates, answering the unary file operators.

// True when a status record can be built for path and it is no directory.
Truth is_regular_path(char* path);

// MODE_DIRECTORY when path names a directory, else 0. May shorten path in
// place by one trailing '/'.
Truth is_directory_path(char* path);

// True when a status record can be built for path and its length is above 0.
Truth has_content_path(char* path);

// True when the platform's access check allows mode (4, 2, 1 or 0) on path.
Truth path_access(const char* path, int32_t mode);

// True when the descriptor is open and refers to a terminal.
Truth is_terminal_descriptor(int32_t descriptor);
