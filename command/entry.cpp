// Command entry, the argument cursor and the ways out of the process.
#include "command/command.h"

#include <string.h>  // strcmp, strlen

#include "platform/platform.h"

using bracket::platform_exit;
using bracket::platform_exit_now;
using bracket::platform_run_with_stack;
using bracket::platform_write_error;

ArgCursor arg_cursor;

char* next_token(bool optional) {
    int32_t position = arg_cursor.position++;
    if (position >= arg_cursor.count) {
        if (!optional) syntax_error("argument expected", "");
        // The position still advanced, so the caller's give_back is balanced.
        return nullptr;
    }
    arg_cursor.last = arg_cursor.vector[position];
    return arg_cursor.last;
}

void give_back() { --arg_cursor.position; }

bool next_integer_token(int32_t* value) {
    if (arg_cursor.position >= arg_cursor.count) return false;
    int32_t parsed;
    if (!parse_integer(arg_cursor.vector[arg_cursor.position], &parsed)) return false;
    *value = parsed;
    ++arg_cursor.position;
    return true;
}

namespace {
// The value of c as a digit in any base up to 16; 99 for a non-digit.
unsigned digit_value(unsigned char c) {
    if (c >= '0' && c <= '9') return c - '0';
    c |= 0x20;  // fold to lower case; no other byte lands in a..f
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return 99;
}
}  // namespace

bool parse_integer(const char* text, int32_t* value) {
    const unsigned char* p = reinterpret_cast<const unsigned char*>(text);
    while (*p == ' ' || (*p >= '\t' && *p <= '\r')) ++p;
    bool negative = *p == '-';
    if (*p == '-' || *p == '+') ++p;
    // No digit at all, the usual case for a plain string operand: nothing
    // converted, so only the empty text ends where the conversion stopped.
    if (*p < '0' || *p > '9') {
        *value = 0;
        return *text == '\0';
    }
    unsigned base = 10;
    if (*p == '0') {
        // "0x" is a prefix only when a hex digit follows; otherwise the 0 is
        // an octal number and the x is the first character left over.
        if ((p[1] | 0x20) == 'x' && digit_value(p[2]) < 16) {
            base = 16;
            p += 2;
        } else {
            base = 8;
        }
    }
    // Saturates at 2^31, the largest magnitude either clamp needs.
    uint64_t magnitude = 0;
    for (unsigned digit; (digit = digit_value(*p)) < base; ++p) {
        magnitude = magnitude * base + digit;
        if (magnitude > 0x80000000u) magnitude = 0x80000000u;
    }
    if (negative) {
        *value = static_cast<int32_t>(0u - static_cast<uint32_t>(magnitude));
    } else {
        *value = magnitude > 0x7fffffffu ? INT32_MAX : static_cast<int32_t>(magnitude);
    }
    return *p == '\0';
}

void syntax_error(const char* message, const char* detail) {
    platform_write_error("test: ", 6);
    int32_t length = static_cast<int32_t>(strlen(message));
    if (length != 0) platform_write_error(message, length);
    length = static_cast<int32_t>(strlen(detail));
    if (length != 0) platform_write_error(detail, length);
    platform_write_error("\n", 1);
    exit_with_status("bad syntax");
}

namespace {
int exit_code_of(const char* status) { return status != nullptr && status[0] != '\0' ? 1 : 0; }
}  // namespace

void exit_with_status(const char* status) { platform_exit(exit_code_of(status)); }

void exit_with_status_now(const char* status) { platform_exit_now(exit_code_of(status)); }

namespace {
// Each token can add at most four grammar frames (a "(" enters every level
// once more), so the stack the evaluation needs grows with the token count.
// Small expressions run on the process's own stack; long ones get a stack of
// their own, sized with room to spare for instrumented builds.
constexpr int32_t OWN_STACK_TOKENS = 1024;
constexpr size_t STACK_BYTES_PER_TOKEN = 2048;
constexpr size_t STACK_BYTES_BASE = size_t{256} * 1024;

void evaluate_into(void* result) { *static_cast<Truth*>(result) = eval_or(); }
}  // namespace

void command_main(int32_t argc, char** argv) {
    arg_cursor.count = argc;
    arg_cursor.vector = argv;
    arg_cursor.position = 1;
    arg_cursor.last = nullptr;

    if (argc > 0 && argv[0] != nullptr && strcmp(argv[0], "[") == 0) {
        --arg_cursor.count;
        char* closing = arg_cursor.count > 0 ? argv[arg_cursor.count] : nullptr;
        if (closing == nullptr || strcmp(closing, "]") != 0) syntax_error("] missing", "");
    }
    // Hides the closing ] of the bracket form from the evaluator.
    argv[arg_cursor.count] = nullptr;

    if (arg_cursor.count <= 1) exit_with_status("usage");

    Truth result = 0;
    int32_t tokens = arg_cursor.count;
    if (tokens <= OWN_STACK_TOKENS ||
        platform_run_with_stack(STACK_BYTES_BASE + static_cast<size_t>(tokens) * STACK_BYTES_PER_TOKEN, evaluate_into,
                                &result) != 0) {
        result = eval_or();
    }
    exit_with_status(result != 0 ? nullptr : "false");
}
