// Fuzzes the command in process: argument vectors drawn from the operators,
// integers, words and paths, run through command_main on a fake platform
// whose process exit jumps back here. Every run is held to the exit
// contract (status 0 or 1, a diagnostic only with status 1, one line that
// starts "test: "; nothing can reach standard output, as the platform offers
// no way to write there) and compared with an evaluator written apart from the
// command's, from the grammar's rules.
//
// Input: a byte choosing the program name, a byte of platform settings, then
// one byte per token: a token of the list below, or a raw token of up to
// seven bytes that follow.
#include <cerrno>
#include <climits>
#include <csetjmp>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "command/command.h"
#include "fuzz/check.h"
#include "fuzz/fake_platform.h"
#include "platform/platform.h"
#include "portability/error_text.h"

using namespace bracket;

namespace {

// clang-format off
const char* const TOKENS[] = {
    "(", ")", "!", "-a", "-o", "=", "!=", "-eq", "-ne", "-gt", "-lt", "-ge", "-le",
    "-f", "-d", "-r", "-w", "-x", "-e", "-c", "-b", "-u", "-g", "-s", "-t", "-n", "-z",
    "]", "[", "", "0", "1", "-1", "5", "7", "010", "08", "0x10", "0X1f", "0x", " 12", "12 ",
    "2147483647", "2147483648", "-2147483649", "+7", "abc", "-", "--", "-q", "-eqq", "!!",
    "/", "//", "d", "d/", "d//", "f", "f/", "e", "x", "p", "c:", "c:/", "q:", "d/f", "missing",
};
// clang-format on
constexpr size_t TOKEN_KINDS = sizeof TOKENS / sizeof TOKENS[0];
const char* const NAMES[] = {"test", "[", "/usr/bin/[", ""};
// Past 1024 tokens the command evaluates on a stack of its own.
constexpr size_t MAX_TOKENS = 1400;

// ---- The reference evaluator. ----

struct SyntaxError {
    std::string message;
};

bool reference_integer(const std::string& text, int32_t* value) {
    char* end;
    errno = 0;
    long long parsed = strtoll(text.c_str(), &end, 0);
    if (parsed > INT32_MAX) parsed = INT32_MAX;
    if (parsed < INT32_MIN) parsed = INT32_MIN;
    *value = static_cast<int32_t>(parsed);
    return *end == '\0';
}

struct Reference {
    std::vector<std::string> tokens;  // the program name at 0
    int32_t count;
    int32_t position = 1;
    int32_t allocations_left;
    bool drive_designators;
    bool ran_out_of_memory = false;

    const std::string* next(bool optional) {
        int32_t at = position++;
        if (at >= count) {
            if (!optional) throw SyntaxError{"argument expected"};
            return nullptr;
        }
        return &tokens[static_cast<size_t>(at)];
    }

    void back() { --position; }

    static bool is(const std::string* token, const char* text) { return token != nullptr && *token == text; }

    // A status record is built only for a path the platform finds, and
    // building it takes one allocation.
    const FakeFile* status(const std::string& path) {
        const FakeFile* file = fake_find(path.c_str());
        if (file == nullptr) return nullptr;
        if (allocations_left == 0) {
            ran_out_of_memory = true;
            return nullptr;
        }
        if (allocations_left > 0) --allocations_left;
        return file;
    }

    bool either() {
        bool left = both();
        const std::string* token = next(true);
        if (is(token, "-o")) {
            bool right = either();
            return left || right;
        }
        back();
        return left;
    }

    bool both() {
        bool left = negation();
        const std::string* token = next(true);
        if (is(token, "-a")) {
            bool right = both();
            return left && right;
        }
        back();
        return left;
    }

    bool negation() {
        if (is(next(false), "!")) return !negation();
        back();
        return primary();
    }

    bool primary() {
        const std::string token = *next(false);
        if (token == "(") {
            bool inner = either();
            if (!is(next(false), ")")) throw SyntaxError{") expected"};
            return inner;
        }
        if (token.size() == 2 && token[0] == '-') {
            const char op = token[1];
            if (op == 't') {
                int32_t descriptor = 1, value;
                if (position < count && reference_integer(tokens[static_cast<size_t>(position)], &value)) {
                    descriptor = value;
                    ++position;
                }
                return fake_is_terminal(descriptor);
            }
            if (strchr("fdrwxecbugsnz", op) != nullptr) {
                const std::string operand = *next(false);
                const FakeFile* file;
                switch (op) {
                    case 'n': return !operand.empty();
                    case 'z': return operand.empty();
                    case 'r': return platform_access(operand.c_str(), 4) == 0;
                    case 'w': return platform_access(operand.c_str(), 2) == 0;
                    case 'x': return platform_access(operand.c_str(), 1) == 0;
                    case 'e': return platform_access(operand.c_str(), 0) == 0;
                    case 'f': file = status(operand); return file != nullptr && file->type != PLATFORM_TYPE_DIRECTORY;
                    case 's': file = status(operand); return file != nullptr && file->size > 0;
                    case 'd': {
                        if (drive_designators && operand.size() == 2 && operand[1] == ':') return true;
                        // One trailing '/' goes first, except from "/" itself, so
                        // "f/" asks about the file "f" (and takes a record).
                        std::string path = operand;
                        if (path.size() > 1 && path.back() == '/') path.pop_back();
                        file = status(path);
                        return file != nullptr && file->type == PLATFORM_TYPE_DIRECTORY;
                    }
                    default: return false;  // -c -b -u -g
                }
            }
        }
        const std::string* op = next(true);
        if (op == nullptr) return !token.empty();
        if (*op == "=") return *next(false) == token;
        if (*op == "!=") return *next(false) != token;
        int32_t left, right;
        if (!reference_integer(token, &left)) {
            back();
            return true;
        }
        const std::string name = *op;
        if (position < count && reference_integer(tokens[static_cast<size_t>(position)], &right)) {
            ++position;
            if (name == "-eq") return left == right;
            if (name == "-ne") return left != right;
            if (name == "-gt") return left > right;
            if (name == "-lt") return left < right;
            if (name == "-ge") return left >= right;
            if (name == "-le") return left <= right;
        }
        throw SyntaxError{"unknown operator " + name};
    }

    // The exit status, and the diagnostic line or "".
    int run(std::string* diagnostic) {
        diagnostic->clear();
        try {
            if (tokens[0] == "[") {
                --count;
                if (count <= 0 || tokens[static_cast<size_t>(count)] != "]") throw SyntaxError{"] missing"};
            }
            if (count <= 1) return 1;
            return either() ? 0 : 1;
        } catch (const SyntaxError& error) {
            *diagnostic = "test: " + error.message + "\n";
            return 1;
        }
    }
};

// ---- The command, in process. ----

// Runs the command and returns the status it exits with. Nothing here
// changes between the setjmp and the jump back.
int run_command(int32_t argc, char** argv) {
    int jumped = setjmp(fake_process.exit_jump);
    if (jumped == 0) command_main(argc, argv);
    return jumped - 1;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    const char* name = NAMES[data[0] % 4];
    const uint8_t settings = data[1];
    data += 2;
    size -= 2;

    std::vector<std::string> tokens{name};
    for (size_t at = 0; at < size && tokens.size() <= MAX_TOKENS;) {
        uint8_t choice = data[at++];
        if (choice < TOKEN_KINDS) {
            tokens.emplace_back(TOKENS[choice]);
            continue;
        }
        size_t length = (choice - TOKEN_KINDS) % 8;
        if (length > size - at) length = size - at;
        std::string raw(reinterpret_cast<const char*>(data + at), length);
        at += length;
        tokens.push_back(raw.c_str());  // a raw token ends at its first NUL
    }

    fake_process.error_length = 0;
    fake_process.drive_designators = (settings & 1) != 0;
    fake_process.own_stacks = (settings & 2) != 0;
    const int32_t allocations = (settings >> 2 & 7) == 7 ? -1 : settings >> 2 & 7;
    fake_process.allocations_left = allocations;
    platform_set_error_code(0);

    // The command gets writable copies: it may shorten a path in place, and
    // it overwrites the vector's entry after the last usable argument.
    std::vector<std::vector<char>> storage;
    std::vector<char*> argv;
    for (const std::string& token : tokens) {
        storage.emplace_back(token.c_str(), token.c_str() + token.size() + 1);
    }
    for (std::vector<char>& text : storage) argv.push_back(text.data());
    argv.push_back(nullptr);
    const int32_t argc = static_cast<int32_t>(tokens.size());

    const int status = run_command(argc, argv.data());
    const std::string errors(fake_process.errors, fake_process.error_length);
    fake_release_allocations();

    CHECK(status == 0 || status == 1);
    CHECK(status == 1 || errors.empty());
    if (!errors.empty()) {
        CHECK(errors.compare(0, 6, "test: ") == 0);
        // One line; only an operator token of the user's can hold a line feed.
        CHECK(errors.back() == '\n');
    }

    Reference reference{tokens, argc, 1, allocations, fake_process.drive_designators};
    std::string expected_errors;
    const int expected_status = reference.run(&expected_errors);
    CHECK(status == expected_status);
    CHECK(errors == expected_errors);
    // A record that could not be allocated leaves its reason as the error
    // text (a syntax error may end the run before anyone looks).
    if (reference.ran_out_of_memory) {
        CHECK(platform_error_code() == ERROR_TEXT_CODE);
        CHECK(strcmp(error_text_slot.text, "out of memory") == 0);
    }
    return 0;
}
