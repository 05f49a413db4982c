// The command as a user meets it: argument vector in, exit status and the
// exact diagnostic out, nothing ever on standard output.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/run.h"

namespace {
struct CliCase {
    std::vector<std::string> argv;  // argv[0] included
    int status;
    std::string err;  // with "\n" line ends; CR LF on the Windows target
};

std::string describe(const std::vector<std::string>& argv) {
    std::string text;
    for (const std::string& word : argv) text += "'" + word + "' ";
    return text;
}

void check(const CliCase& c) {
    CommandResult result = run_command(c.argv);
    EXPECT_EQ(result.status, c.status) << describe(c.argv);
    EXPECT_EQ(result.out, "") << describe(c.argv);
    EXPECT_EQ(result.err, diagnostic(c.err)) << describe(c.argv);
}

const std::string ARG_EXPECTED = "test: argument expected\n";
const std::string CLOSE_EXPECTED = "test: ) expected\n";
const std::string BRACKET_MISSING = "test: ] missing\n";
std::string unknown(const std::string& op) { return "test: unknown operator " + op + "\n"; }

TEST(Entry, ArgumentCountsAndTheBracketForm) {
    const CliCase cases[] = {
        {{"test"}, 1, ""},
        {{"["}, 1, BRACKET_MISSING},
        {{"[", "]"}, 1, ""},
        {{"[", "a"}, 1, BRACKET_MISSING},
        {{"[", "a", "]"}, 0, ""},
        {{"[", "", "]"}, 1, ""},
        {{"[", "a", "=", "b", "]"}, 1, ""},
        {{"[", "]", "]"}, 0, ""},  // the first "]" is an ordinary word
        {{"[", "a", "]", "x"}, 1, BRACKET_MISSING},
        // Only the exact name "[" is the bracket form.
        {{"/usr/bin/[", "a"}, 0, ""},
        {{"[.exe", "a"}, 0, ""},
        {{"test", "a", "]"}, 0, ""},
        {{"test", "]"}, 0, ""},
        {{"test", "word"}, 0, ""},
        {{"test", ""}, 1, ""},
        {{"test", "a", "b", "c"}, 0, ""},  // the third word is never read
        {{"", "a"}, 0, ""},
    };
    for (const CliCase& c : cases) check(c);
}

TEST(Grammar, StringTests) {
    const CliCase cases[] = {
        {{"test", "a", "=", "a"}, 0, ""},
        {{"test", "a", "=", "b"}, 1, ""},
        {{"test", "a", "!=", "b"}, 0, ""},
        {{"test", "a", "!=", "a"}, 1, ""},
        {{"test", "1", "=", "01"}, 1, ""},
        {{"test", "", "=", ""}, 0, ""},
        {{"test", "-n", ""}, 1, ""},
        {{"test", "-n", "x"}, 0, ""},
        {{"test", "-z", ""}, 0, ""},
        {{"test", "-z", "x"}, 1, ""},
        {{"test", "-n", "="}, 0, ""},  // an operator name takes the next token as its operand
        {{"test", "-z", "-z"}, 1, ""},
        {{"test", "=", "=", "="}, 0, ""},
        {{"test", "=", "x"}, 0, ""},  // a connective or binary operator first is a text
        {{"test", "-a"}, 0, ""},
        {{"test", "-eq", "5"}, 0, ""},
        {{"test", "!", "="}, 1, ""},
        {{"test", "-"}, 0, ""},
        {{"test", "-q"}, 0, ""},
        // Texts arrive whole on every platform: a look-alike is another text.
        {{"test", "a", "=", "\xef\xbd\x81"}, 1, ""},  // U+FF41, a fullwidth a
        {{"test", "\xc3\xa9 \xf0\x9f\x98\x80", "=", "\xc3\xa9 \xf0\x9f\x98\x80"}, 0, ""},
        {{"test", "-n"}, 1, ARG_EXPECTED},
        {{"test", "!"}, 1, ARG_EXPECTED},
        {{"test", "("}, 1, ARG_EXPECTED},
        {{"test", "a", "="}, 1, ARG_EXPECTED},
        {{"test", "a", "!="}, 1, ARG_EXPECTED},
    };
    for (const CliCase& c : cases) check(c);
}

TEST(Grammar, IntegerComparisons) {
    const CliCase cases[] = {
        {{"test", "1", "-eq", "01"}, 0, ""},
        {{"test", "10", "-gt", "9"}, 0, ""},
        {{"test", "10", "=", "9"}, 1, ""},
        {{"test", "9", "-gt", "10"}, 1, ""},
        {{"test", "5", "-ne", "5"}, 1, ""},
        {{"test", "5", "-ne", "6"}, 0, ""},
        {{"test", "6", "-ne", "5"}, 0, ""},
        {{"test", "5", "-eq", "6"}, 1, ""},
        {{"test", "6", "-eq", "5"}, 1, ""},
        {{"test", "6", "-gt", "6"}, 1, ""},
        {{"test", "5", "-lt", "6"}, 0, ""},
        {{"test", "6", "-lt", "6"}, 1, ""},
        {{"test", "6", "-le", "6"}, 0, ""},
        {{"test", "7", "-le", "6"}, 1, ""},
        {{"test", "6", "-ge", "6"}, 0, ""},
        {{"test", "5", "-ge", "6"}, 1, ""},
        {{"test", "-5", "-lt", "3"}, 0, ""},
        {{"test", "0x10", "-eq", "16"}, 0, ""},
        {{"test", "010", "-eq", "8"}, 0, ""},
        {{"test", " 12", "-eq", "12"}, 0, ""},
        {{"test", "+5", "-eq", "5"}, 0, ""},
        {{"test", "", "-eq", "0"}, 0, ""},
        {{"test", "99999999999", "-eq", "2147483647"}, 0, ""},
        {{"test", "-99999999999", "-eq", "-2147483648"}, 0, ""},
        {{"test", "2147483648", "-gt", "2147483647"}, 1, ""},  // both clamp to the same value
        {{"test", "abc", "-eq", "5"}, 0, ""},                  // a string test; the operator is never looked at
        {{"test", "5", "-a", "3"}, 1, unknown("-a")},
        {{"test", "5", "-o", "3"}, 1, unknown("-o")},
        {{"test", "", "-a", "x"}, 1, unknown("-a")},
        {{"test", "", "-o", "x"}, 1, unknown("-o")},
        {{"test", "5", "-eq", "x"}, 1, unknown("-eq")},
        {{"test", "5", "-eq"}, 1, unknown("-eq")},
        {{"test", "5", "-foo", "3"}, 1, unknown("-foo")},
        // An operator is echoed as it was given, in UTF-8 on every platform.
        {{"test", "5", "\xc3\xa9 \xe6\x97\xa5\xe6\x9c\xac \xf0\x9f\x98\x80", "3"},
         1,
         unknown("\xc3\xa9 \xe6\x97\xa5\xe6\x9c\xac \xf0\x9f\x98\x80")},
        {{"test", "12 ", "-eq", "12"}, 0, ""},  // "12 " is no integer: a string test
        {{"test", "08", "-eq", "8"}, 0, ""},    // likewise 08
        {{"test", "1", "-eq", "08"}, 1, unknown("-eq")},
    };
    for (const CliCase& c : cases) check(c);
}

TEST(Grammar, ConnectivesNegationAndParentheses) {
    const CliCase cases[] = {
        {{"test", "a", "-o", "b"}, 0, ""},
        {{"test", "!", "x", "-o", "!", "y"}, 1, ""},
        {{"test", "a", "-a", ""}, 1, ""},
        {{"test", "a", "-a", "b"}, 0, ""},
        {{"test", "a", "=", "b", "-a", "x", "-o", "y"}, 0, ""},
        {{"test", "a", "=", "a", "-o", "x", "-a", ""}, 0, ""},  // -a binds tighter than -o
        {{"test", "(", "a", "=", "b", "-a", "x", ")"}, 1, ""},
        {{"test", "(", "a", ")"}, 0, ""},
        {{"test", "(", "5", ")"}, 1, unknown(")")},
        {{"test", "(", "a", "=", "b", ")"}, 1, ""},
        {{"test", "(", "a", "=", "a"}, 1, ARG_EXPECTED},
        {{"test", "(", "a", "=", "a", "x"}, 1, CLOSE_EXPECTED},
        {{"test", "(", "(", "a", ")", ")"}, 0, ""},
        {{"test", "!", ""}, 0, ""},
        {{"test", "!", "!", "a"}, 0, ""},
        {{"test", "!", "a", "-o", "b"}, 0, ""},  // ! applies to one primary
        {{"test", "!", "(", "a", "-o", "b", ")"}, 1, ""},
        {{"test", "a", "-a"}, 1, ARG_EXPECTED},
        {{"test", "a", "-o"}, 1, ARG_EXPECTED},
        {{"test", "a", "-o", "!"}, 1, ARG_EXPECTED},
        {{"test", "a", "b", "c"}, 0, ""},
        {{"test", "", "b", "c"}, 1, unknown("b")},  // the empty word is an integer
        {{"test", "a", "=", "a", "junk", "more"}, 0, ""},
        {{"[", "(", "a", "]"}, 1, ARG_EXPECTED},
        {{"[", "-n", "a", "-a", "abc", "=", "abc", "]"}, 0, ""},
    };
    for (const CliCase& c : cases) check(c);
}

// One case for each row of the table "Differences from other test commands"
// in the README and the manual page, in the table's order, with the portable
// way where the row gives one, so that no row says what the command does not
// do.
TEST(Differences, EachRowAsTheTableSaysIt) {
    const CliCase cases[] = {
        {{"test", "", "-o", "t"}, 1, unknown("-o")},
        {{"test", "-n", "", "-o", "-n", "t"}, 0, ""},
        {{"test", "x", "!=", "x", "-o", "xt", "!=", "x"}, 0, ""},
        {{"test", "-n", "x", "y"}, 0, ""},
        {{"[", "=", "", "]"}, 0, ""},
        {{"test", "a", "==", "b"}, 0, ""},
        {{"test", "1", "==", "2"}, 1, unknown("==")},
        {{"test", "-L", "/nonexistent"}, 0, ""},
        {{"test", "-n"}, 1, ARG_EXPECTED},
        {{"[", "-n", "=", "yes", "]"}, 0, ""},
        {{"[", "x-n", "=", "xyes", "]"}, 1, ""},
        {{"test", "!", "t", "-a", ""}, 1, ""},
        {{"test", "!", "(", "-n", "t", "-a", "-n", "", ")"}, 0, ""},
        {{"test", "(", "t", "-o", "", ")"}, 1, unknown(")")},
        {{"test", "(", "-n", "", ")"}, 1, ""},
        {{"test", "!", "=", "!"}, 1, ""},
        {{"test", "(", "=", "("}, 1, CLOSE_EXPECTED},
        {{"test", "!"}, 1, ARG_EXPECTED},
        {{"test", "x!", "=", "x!"}, 0, ""},
        {{"test", "(", "t", "==", "t", ")"}, 1, CLOSE_EXPECTED},
        {{"test", "(", "a", "<", "b", ")"}, 1, CLOSE_EXPECTED},
        {{"test", "(", "t", "=", "t", ")"}, 0, ""},
        {{"test", "5 ", "-eq", "6"}, 0, ""},
        {{"test", "08", "-eq", "99"}, 0, ""},
        {{"test", "010", "-eq", "10"}, 1, ""},
        {{"test", "0", "-eq", " 0 "}, 1, unknown("-eq")},
        {{"test", "2", "-lt", "-l", "abc"}, 1, unknown("-lt")},
        {{"test", "0", "-eq", "0"}, 0, ""},
        {{"test", "-l", "abc", "-eq", "4"}, 0, ""},
        {{"test", "-a", "/nonexistent"}, 0, ""},
        // Windows has no /dev/null, and Wine cannot examine the Linux device.
        {{"test", "-f", "/dev/null"}, windows_target() ? 1 : 0, ""},
        {{"test", "-p", "/"}, 0, ""},
        {{"test", "-c", "/dev/null"}, 1, ""},
        {{"test", "--help"}, 0, ""},
        {{"test", "/?"}, 0, ""},
        {{"test", "-t", "a"}, 1, ""},  // standard output is captured: no terminal
        {{"/opt/bracket/bin/[", "", "]"}, 1, unknown("]")},
    };
    for (const CliCase& c : cases) check(c);
}
}  // namespace
