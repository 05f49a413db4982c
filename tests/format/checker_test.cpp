// The C++ face's format checker: a table of formats and argument kinds it
// must accept or refuse (checked at compile time and again here, to name the
// row), and random formats run through the engine, whose verbs are replaced
// by recorders, to show that the checker reads every format as the engine
// does. This program replaces built-in verbs for good: it runs apart.
#include <cstdarg>
#include <cstdint>
#include <iterator>  // size
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "format/format.hpp"

using namespace bracket;

namespace {

using bracket::detail::check_format;
using bracket::detail::Kind;
using bracket::detail::Problem;

struct Row {
    const char* format;
    Kind kinds[4];
    int32_t count;
    Problem problem;
    int32_t argument;  // of the fault
    char conversion;   // of the fault
};

constexpr Kind I32 = Kind::INT32, I64 = Kind::INT64, TEXT = Kind::TEXT, VIEW = Kind::VIEW, T16 = Kind::TEXT16;
constexpr Problem OK = Problem::NONE;

constexpr Row ROWS[] = {
    {"%d|%ld|%hd|%hhd", {I32, I32, I32, I32}, 4, OK, 0, 0},
    {"%c|%C", {I32, I32}, 2, OK, 0, 0},
    {"%d", {I64}, 1, Problem::USE_LL, 0, 'd'},
    {"%lld|%llx|%llo|%llX", {I64, I64, I64, I64}, 4, OK, 0, 0},
    {"%llb", {I32}, 1, Problem::MISMATCH, 0, 'b'},
    {"%c", {I64}, 1, Problem::MISMATCH, 0, 'c'},
    {"%s|%s|%s", {TEXT, Kind::STRING, VIEW}, 3, OK, 0, 0},
    {"%s", {T16}, 1, Problem::MISMATCH, 0, 's'},
    {"%S|%S|%S", {T16, Kind::STRING16, Kind::VIEW16}, 3, OK, 0, 0},
    {"%S", {VIEW}, 1, Problem::MISMATCH, 0, 'S'},
    {"%p|%p|%p|%p", {Kind::POINTER, TEXT, T16, Kind::COUNT64}, 4, OK, 0, 0},
    {"%p", {I32}, 1, Problem::MISMATCH, 0, 'p'},
    {"%n|%ln|%hn|%hhn", {Kind::COUNT32, Kind::COUNT32, Kind::COUNT16, Kind::COUNT8}, 4, OK, 0, 0},
    {"%lln", {Kind::COUNT64}, 1, OK, 0, 0},
    {"%hn", {Kind::COUNT32}, 1, Problem::MISMATCH, 0, 'n'},
    {"%*d|%.*s|%*.*x", {I32, I32, I32, VIEW}, 4, Problem::TOO_FEW, 4, '*'},
    {"%*d", {I64, I32}, 2, Problem::MISMATCH, 0, '*'},
    {"%3*.*d", {I32, I32, I32}, 3, OK, 0, 0},
    {"%%|%5%|%r|%-9.3r", {}, 0, OK, 0, 0},
    {"%d %d", {I32}, 1, Problem::TOO_FEW, 1, 'd'},
    {"%d", {I32, TEXT}, 2, Problem::TOO_MANY, 1, 0},
    {"abc%", {}, 0, Problem::UNTERMINATED, 0, '%'},
    {"%d%-5.", {I32, I32}, 2, Problem::UNTERMINATED, 1, '%'},
    {"n=%u", {I32}, 1, Problem::UNTERMINATED, 0, '%'},
    {"%ud|%,ux|%+ d|%#o", {I32, I32, I32, I32}, 4, OK, 0, 0},
    {"%05d|%-05d|%00d|%.05d", {I32, I32, I32, I32}, 4, OK, 0, 0},
    {"%1.2.3d|%5 3d", {I32, I32}, 2, OK, 0, 0},
    {"%f", {Kind::OTHER}, 1, Problem::NO_FLOATING_POINT, 0, 'f'},
    {"%d%e|%g|%a", {I32}, 1, Problem::NO_FLOATING_POINT, 1, 'e'},
    {"%i", {I32}, 1, Problem::NOT_BUILT_IN, 0, 'i'},
    {"%zu", {I32}, 1, Problem::NOT_BUILT_IN, 0, 'z'},
    {"%\xC3\xA9", {I32}, 1, Problem::NOT_BUILT_IN, 0, '\xC3'},
    {"%------------------------------------------------------------s", {VIEW}, 1, OK, 0, 0},
    {"%-------------------------------------------------------------s", {VIEW}, 1, Problem::VIEW_SPEC_TOO_LONG, 0, 's'},
    {"%-------------------------------------------------------------s", {TEXT}, 1, OK, 0, 0},
};

constexpr bool holds(const Row& row) {
    const bracket::detail::Check check = check_format(row.format, row.kinds, row.count);
    if (check.problem != row.problem) return false;
    return row.problem == OK || (check.argument == row.argument && check.conversion == row.conversion);
}

constexpr bool every_row_holds() {
    for (const Row& row : ROWS) {
        if (!holds(row)) return false;
    }
    return true;
}

// The checker runs where a format is written.
static_assert(every_row_holds());

TEST(FormatChecker, TableOfFormatsAndKinds) {
    for (const Row& row : ROWS) EXPECT_TRUE(holds(row)) << row.format;
}

// ---- The engine's reading, through recorders in place of the verbs ----

// One argument a verb took: which, with which of the length flags.
struct Taken {
    int32_t argument;
    char verb;
    uint32_t flags;
};
std::vector<Taken> taken;

constexpr uint32_t LENGTH_FLAGS = FormatFlag::SHORT | FormatFlag::BYTE | FormatFlag::LONG | FormatFlag::LONG_LONG;

// Every argument is an int32_t holding its own index.
int32_t record(FormatState* state) {
    const int32_t argument = va_arg(state->args, int32_t);
    taken.push_back(Taken{argument, static_cast<char>(state->verb), state->flags & LENGTH_FLAGS});
    return 0;
}

int32_t record_nothing(FormatState*) { return 0; }

// Runs format with the arguments 0, 1, ... and returns format_run's result;
// *consumed is the number of arguments the run took.
int32_t run_recorded(FormatState* state, int32_t* consumed, const char* format, ...) {
    va_start(state->args, format);
    const int32_t result = format_run(state, format);
    *consumed = va_arg(state->args, int32_t);
    va_end(state->args);
    return result;
}

// A format of literal text and specs, some of them unterminated, unknown or
// beyond ASCII.
std::string random_format(std::mt19937& random) {
    static const char* const LITERALS[] = {"a", " ", "\xC3\xA9", "\xF0\x9F\x99\x82"};
    static const char SPEC_CHARS[] = "-+ #,0u123.*hl";
    static const char* const VERBS[] = {"d", "o", "x", "X", "b", "c", "C", "s", "S",        "p", "n",
                                        "%", "r", "d", "s", "n", "f", "i", "q", "\xC3\xA9", ""};
    std::string format;
    const int specs = std::uniform_int_distribution<int>(0, 5)(random);
    for (int s = 0; s < specs; ++s) {
        for (int n = std::uniform_int_distribution<int>(0, 2)(random); n > 0; --n) {
            format += LITERALS[std::uniform_int_distribution<int>(0, 3)(random)];
        }
        format += '%';
        for (int n = std::uniform_int_distribution<int>(0, 4)(random); n > 0; --n) {
            format += SPEC_CHARS[std::uniform_int_distribution<size_t>(0, sizeof SPEC_CHARS - 2)(random)];
        }
        const char* verb = VERBS[std::uniform_int_distribution<size_t>(0, std::size(VERBS) - 1)(random)];
        format += verb;
        if (*verb == '\0') break;  // unterminated: the format ends here
    }
    return format;
}

TEST(FormatChecker, ReadsEveryFormatAsTheEngineDoes) {
    for (const char verb : {'d', 'o', 'x', 'X', 'b', 'c', 'C', 's', 'S', 'p', 'n'})
        ASSERT_EQ(install_verb(verb, record), 0);
    ASSERT_EQ(install_verb('%', record_nothing), 0);
    ASSERT_EQ(install_verb('r', record_nothing), 0);
    std::mt19937 random(22);
    for (int round = 0; round < 20000; ++round) {
        const std::string format = random_format(random);
        taken.clear();
        // Room for the widest fields the specs can ask for.
        static char out[1 << 16];
        FormatState state{};
        state.buffer_start = out;
        state.out = out;
        state.limit = out + sizeof out;
        int32_t consumed = 0;
        const int32_t result = run_recorded(&state, &consumed, format.c_str(), 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12,
                                            13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27, 28, 29);
        // The recorders write nothing, and the literal text has no "%":
        // one in the output is a verb that is not built in.
        const bool bad_verb = std::string(out, state.out).find('%') != std::string::npos;

        // The kinds of the arguments as the engine took them: a verb's, or
        // an int for a "*".
        std::vector<Kind> kinds(static_cast<size_t>(consumed) + 1, Kind::INT32);
        std::vector<char> conversions(static_cast<size_t>(consumed) + 1, '*');
        for (const Taken& t : taken) {
            kinds[static_cast<size_t>(t.argument)] = bracket::detail::wanted_kind(t.verb, t.flags);
            conversions[static_cast<size_t>(t.argument)] = t.verb;
        }
        const Problem problem = check_format(format.c_str(), kinds.data(), consumed).problem;
        if (bad_verb) {
            EXPECT_TRUE(problem == Problem::NOT_BUILT_IN || problem == Problem::NO_FLOATING_POINT) << format;
            continue;
        }
        if (result < 0) {
            EXPECT_EQ(problem, Problem::UNTERMINATED) << format;
            continue;
        }
        ASSERT_EQ(problem, Problem::NONE) << format;
        // The checker ties each argument to the conversion the engine gave it.
        for (int32_t k = 0; k < consumed; ++k) {
            const Kind kind = kinds[static_cast<size_t>(k)];
            kinds[static_cast<size_t>(k)] = Kind::OTHER;
            const bracket::detail::Check check = check_format(format.c_str(), kinds.data(), consumed);
            EXPECT_EQ(check.problem, Problem::MISMATCH) << format << " argument " << k;
            EXPECT_EQ(check.argument, k) << format;
            EXPECT_EQ(check.conversion, conversions[static_cast<size_t>(k)]) << format << " argument " << k;
            kinds[static_cast<size_t>(k)] = kind;
        }
        EXPECT_EQ(check_format(format.c_str(), kinds.data(), consumed + 1).problem, Problem::TOO_MANY) << format;
        if (consumed > 0) {
            EXPECT_EQ(check_format(format.c_str(), kinds.data(), consumed - 1).problem, Problem::TOO_FEW) << format;
        }
    }
}

}  // namespace
