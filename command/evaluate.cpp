// The expression grammar, evaluated as it is parsed: each level reads its
// tokens, computes its truth value at once and gives back a token it does
// not use, so the enclosing level sees it.
#include <string.h>  // strcmp

#include "command/command.h"

namespace {
bool is_token(const char* token, char first, char second) {
    return token[0] == first && token[1] == second && (second == '\0' || token[2] == '\0');
}

enum class Comparison { NONE, EQ, NE, GT, LT, GE, LE };

// The numeric comparison named by op; NONE when op names none.
Comparison comparison_of(const char* op) {
    if (op[0] != '-' || op[1] == '\0' || op[2] == '\0' || op[3] != '\0') return Comparison::NONE;
    char a = op[1], b = op[2];
    if (a == 'e' && b == 'q') return Comparison::EQ;
    if (a == 'n' && b == 'e') return Comparison::NE;
    if (a == 'g' && b == 't') return Comparison::GT;
    if (a == 'l' && b == 't') return Comparison::LT;
    if (a == 'g' && b == 'e') return Comparison::GE;
    if (a == 'l' && b == 'e') return Comparison::LE;
    return Comparison::NONE;
}

// comparison is not NONE.
Truth compare(Comparison comparison, int32_t left, int32_t right) {
    switch (comparison) {
        case Comparison::EQ: return left == right;
        case Comparison::NE: return left != right;
        case Comparison::GT: return left > right;
        case Comparison::LT: return left < right;
        case Comparison::GE: return left >= right;
        default: return left <= right;
    }
}
}  // namespace

Truth eval_or() {
    Truth left = eval_and();
    char* token = next_token(true);
    if (token != nullptr && is_token(token, '-', 'o')) {
        // Both operands are always read, so the right one is evaluated even
        // when the left already decides.
        Truth right = eval_or();
        return left != 0 || right != 0;
    }
    give_back();
    return left;
}

Truth eval_and() {
    Truth left = eval_not();
    char* token = next_token(true);
    if (token != nullptr && is_token(token, '-', 'a')) {
        Truth right = eval_and();
        return left != 0 && right != 0;
    }
    give_back();
    return left;
}

Truth eval_not() {
    char* token = next_token(false);
    if (is_token(token, '!', '\0')) return eval_not() == 0;
    give_back();
    return eval_primary();
}

Truth eval_primary() {
    char* token = next_token(false);
    if (is_token(token, '(', '\0')) {
        Truth inner = eval_or();
        if (!is_token(next_token(false), ')', '\0')) syntax_error(") expected", "");
        return inner;
    }
    if (token[0] == '-' && token[1] != '\0' && token[2] == '\0') {
        // A token that names a unary operator is always that operator,
        // never a plain operand.
        switch (token[1]) {
            case 'f': return is_regular_path(next_token(false));
            case 'd': return is_directory_path(next_token(false));
            case 'r': return path_access(next_token(false), 4);
            case 'w': return path_access(next_token(false), 2);
            case 'x': return path_access(next_token(false), 1);
            case 'e': return path_access(next_token(false), 0);
            case 'c':
            case 'b':
            case 'u':
            case 'g':
                // No devices or set-id bits here: the path is read, never asked about.
                next_token(false);
                return 0;
            case 's': return has_content_path(next_token(false));
            case 't': {
                int32_t descriptor = 1;
                next_integer_token(&descriptor);
                return is_terminal_descriptor(descriptor);
            }
            case 'n': return next_token(false)[0] != '\0';
            case 'z': return next_token(false)[0] == '\0';
            default: break;
        }
    }

    char* op = next_token(true);
    if (op == nullptr) return token[0] != '\0';
    if (is_token(op, '=', '\0')) return strcmp(next_token(false), token) == 0;
    if (is_token(op, '!', '=')) return strcmp(next_token(false), token) != 0;

    int32_t left;
    if (!parse_integer(token, &left)) {
        // Not an integer, so not empty either: a plain string test, and op
        // belongs to the enclosing level.
        give_back();
        return 1;
    }
    int32_t right;
    const Comparison comparison = comparison_of(op);
    if (next_integer_token(&right) && comparison != Comparison::NONE) return compare(comparison, left, right);
    syntax_error("unknown operator ", op);
}
