// The C++ face's format checker and planner: a table of formats and argument
// kinds it must accept or refuse (checked at compile time and again here, to
// name the row); random formats run through the engine, whose verbs are
// replaced by recorders, to show that the checker reads every format as the
// engine does; and random checked formats run by their plan and by the
// engine, byte for byte. This program replaces built-in verbs for good: it
// runs apart.
#include <cstdarg>
#include <cstdint>
#include <cstring>   // memset, strlen
#include <iterator>  // size
#include <random>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>  // pair
#include <vector>

#include <gtest/gtest.h>

#include "format/format.hpp"
#include "portability/error_text.h"  // set_error_text, for "%r"

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

// ---- Plans of the formats whose reading is subtle ----

struct PlanRow {
    const char* format;
    bracket::detail::PlanStep step;  // the first step; code 0: the format is not planned
};

constexpr uint16_t W = FormatFlag::WIDTH_SET, P = FormatFlag::WIDTH_SET | FormatFlag::PRECISION_SET;
constexpr uint8_t FIRST_GIVES_WIDTH = 1 | bracket::detail::WIDTH_FROM_FIRST;

constexpr PlanRow PLAN_ROWS[] = {
    {"%50d", {0, 4, 'd', W, 0, 0, 50, 0}},  // a 0 after a width is a digit
    {"%-05d", {0, 5, 'd', W | FormatFlag::ZERO_PAD | FormatFlag::LEFT_ALIGN, 0, 0, 5, 0}},
    {"%.d", {0, 3, 'd', P, 0, 0, 0, 0}},  // "." alone: a precision of 0
    {"%.05d", {0, 5, 'd', P, 0, 0, 0, 5}},
    {"%*.*x", {0, 5, 'x', P, 2, 2 | bracket::detail::WIDTH_FROM_FIRST | bracket::detail::PRECISION_FROM_SECOND, 0, 0}},
    {"%.*.7s", {0, 6, 's', P, 1, 1, 0, 7}},  // the last precision wins
    {"%*5d", {0, 4, 'd', P, 1, FIRST_GIVES_WIDTH, 0, 5}},
    {"ab%%", {2, 2, '%', 0, 0, 0, 0, 0}},
    {"%-3r", {0, 4, 'r', W | FormatFlag::LEFT_ALIGN, 0, 0, 3, 0}},
    {"x%lld", {1, 4, 'd', FormatFlag::LONG | FormatFlag::LONG_LONG, 0, 0, 0, 0}},
    {"%5", {0, 0, 0, 0, 0, 0, 0, 0}},  // cut by the format's end
};

constexpr bool plan_holds(const PlanRow& row) {
    Kind kinds[4] = {};
    int32_t count = 0;
    bracket::detail::SpecCursor cursor{row.format, 0, 0};
    bracket::detail::Spec spec{};
    while (bracket::detail::read_next_spec(&cursor, &spec)) {
        for (int32_t k = 0; k < spec.stars; ++k) kinds[count++] = I32;
        const Kind want = bracket::detail::wanted_kind(spec.code, spec.flags);
        if (want != Kind::NONE && want != Kind::OTHER) kinds[count++] = want;
    }
    if (check_format(row.format, kinds, count).problem != OK) return row.step.code == 0;
    bracket::detail::PlanStep steps[4] = {};
    if (!bracket::detail::make_plan(row.format, steps, 4, 0)) return false;
    const bracket::detail::PlanStep& a = steps[0];
    const bracket::detail::PlanStep& b = row.step;
    return a.literal_length == b.literal_length && a.spec_length == b.spec_length && a.code == b.code &&
           a.flags == b.flags && a.argument == b.argument && a.stars == b.stars && a.width == b.width &&
           a.precision == b.precision;
}

TEST(FormatPlan, TableOfSubtleReadings) {
    for (const PlanRow& row : PLAN_ROWS) EXPECT_TRUE(plan_holds(row)) << row.format;
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

// ---- The plan against the engine ----

// The arguments of every planned run, in this order; a random format takes
// each in turn, an int as a "*" or as a verb's own.
struct Arguments {
    int32_t i0, i1;
    const char* text;
    int32_t i2;
    int64_t wide_integer;
    int32_t i3;
    std::string_view view;
    int32_t i4;
    const Char16* text16;
    uint32_t i5;  // unsigned: the integer verbs print its value
    std::u16string_view view16;
    void* pointer;
};
constexpr Kind KINDS[] = {I32, I32, TEXT, I32, Kind::INT64, I32, VIEW, I32, T16, I32, Kind::VIEW16, Kind::POINTER};
constexpr int32_t COUNT = static_cast<int32_t>(std::size(KINDS));

// A checked format for KINDS: flags, numbers and "*" at random, a verb that
// takes each argument, and "%%" and "%r" between. stars[k] is set for each
// argument a "*" takes.
std::string random_checked_format(std::mt19937& random, bool* stars) {
    static const char* const LITERALS[] = {"", "a", " -", "\xC3\xA9", "\xF0\x9F\x99\x82", "\xE2\x82", "%%", "%r"};
    static const char FLAGS[] = "-+ #,0u";
    auto pick = [&random](int32_t n) { return std::uniform_int_distribution<int32_t>(0, n - 1)(random); };
    auto number = [&](std::string* format, int32_t* at) {
        const int32_t choice = pick(4);
        if (choice == 1) *format += std::to_string(pick(12));
        if (choice == 2 && *at < COUNT - 1 && KINDS[*at] == I32) {
            *format += '*';
            stars[(*at)++] = true;
        }
    };
    std::string format;
    for (int32_t at = 0; at < COUNT;) {
        format += LITERALS[pick(8)];
        format += '%';
        for (int32_t n = pick(3); n > 0; --n) format += FLAGS[pick(7)];
        number(&format, &at);
        if (pick(2) == 0) {
            format += '.';
            number(&format, &at);
        }
        switch (KINDS[at]) {
            case Kind::INT32: format += std::string(pick(3), 'h') + "doxXbcC"[pick(7)]; break;
            case Kind::INT64: format += std::string("ll") + "doxXb"[pick(5)]; break;
            case Kind::TEXT:
            case Kind::VIEW: format += 's'; break;
            case Kind::TEXT16:
            case Kind::VIEW16: format += 'S'; break;
            default: format += 'p'; break;
        }
        ++at;
    }
    return format + LITERALS[pick(8)];
}

// Arguments for a format from random_checked_format; a "*" is small, or the
// most negative int, which stays negative.
Arguments random_arguments(std::mt19937& random, const bool* stars) {
    static const char* const TEXTS[] = {
        "", "ab", "\xC3\xA9t\xC3\xA9", "\xF0\x9F\x99\x82x", "a\xFF\xC3", "\xE2\x82\xAC\xE2"};
    static const char16_t* const TEXTS16[] = {u"", u"ab", u"\u00e9\u20ac", u"\U0001F642z", u"\xD83D"};
    int32_t at = 0;
    auto integer = [&random, &at, stars]() {
        static const int32_t EDGES[] = {0, 1, -1, 7, -42, 1234567, INT32_MIN, INT32_MAX, 255, 65535};
        // The arguments before this one in KINDS that are not ints.
        while (KINDS[at] != I32) ++at;
        const bool star = stars[at++];
        if (star && random() % 16 == 0) return INT32_MIN;
        return star || random() % 2 ? static_cast<int32_t>(random() % 13) - 6 : EDGES[random() % std::size(EDGES)];
    };
    const char* text = TEXTS[random() % std::size(TEXTS)];
    const char* viewed = TEXTS[random() % std::size(TEXTS)];
    const char16_t* viewed16 = TEXTS16[random() % std::size(TEXTS16)];
    return Arguments{integer(),
                     integer(),
                     random() % 8 == 0 ? nullptr : text,
                     integer(),
                     static_cast<int64_t>(random()) * (random() % 2 ? -977 : 977),
                     integer(),
                     std::string_view(viewed, std::char_traits<char>::length(viewed) - random() % 2 * (*viewed != 0)),
                     integer(),
                     reinterpret_cast<const Char16*>(TEXTS16[random() % std::size(TEXTS16)]),
                     static_cast<uint32_t>(integer()),
                     std::u16string_view(viewed16),
                     reinterpret_cast<void*>(static_cast<uintptr_t>(random()))};
}

// What a bounded run gave: the buffer's bytes and the result.
std::string bounded_text(char* buffer, size_t size, const bracket::FormatToResult& result) {
    return std::string(buffer, size > 0 ? std::strlen(buffer) : 0) + "|" + std::to_string(result.length) + "/" +
           std::to_string(result.needed) + (result.cut ? " cut" : "");
}

// The argument types of Arguments, as the face's checked formats see them.
#define ARGUMENT_TYPES                                                                                            \
    int32_t, int32_t, const char*, int32_t, int64_t, int32_t, std::string_view, int32_t, const Char16*, uint32_t, \
        std::u16string_view, void*

// A view as the face passes it to the engine: its bound and its data, or a
// terminated copy read one unit past its end.
template <class View, class Copy>
auto engine_view(const View& view, int32_t bound, Copy* copy) {
    using Unit = std::conditional_t<std::is_same_v<View, std::string_view>, char, Char16>;
    if (static_cast<size_t>(bound) == view.size() && bracket::detail::view_needs_copy(view)) {
        copy->assign(view.data(), view.size());
        return std::make_pair(bound + 1, reinterpret_cast<const Unit*>(copy->c_str()));
    }
    return std::make_pair(bound, reinterpret_cast<const Unit*>(view.data()));
}

// The engine's run of a checked format as the face runs it.
template <class Run>
void run_engine(const std::string& format, const Arguments& a, Run run) {
    using bracket::detail::Spec;
    Spec views[2] = {};
    bracket::detail::find_view_specs(format.c_str(), KINDS, views);
    std::string copy;
    std::u16string copy16;
    const auto view =
        engine_view(a.view,
                    bracket::detail::view_bound_in(a.view, views[0], a.i0, a.i1, a.text, a.i2, a.wide_integer, a.i3,
                                                   a.view, a.i4, a.text16, a.i5, a.view16, a.pointer),
                    &copy);
    const auto view16 =
        engine_view(a.view16,
                    bracket::detail::view_bound_in(a.view16, views[1], a.i0, a.i1, a.text, a.i2, a.wide_integer, a.i3,
                                                   a.view, a.i4, a.text16, a.i5, a.view16, a.pointer),
                    &copy16);
    const bracket::detail::FaceRun face_run{"test", format.c_str(), views, 2,
                                            bracket::detail::unsigned_arguments<ARGUMENT_TYPES>()};
    run(&face_run, a.i0, a.i1, a.text, a.i2, a.wide_integer, a.i3, view.first, view.second, a.i4, a.text16, a.i5,
        view16.first, view16.second, a.pointer);
}

TEST(FormatPlan, RunsEveryCheckedFormatAsTheEngineDoes) {
    using namespace bracket::detail;
    set_error_text("e\xC3\xA9r");
    std::mt19937 random(29);
    for (int round = 0; round < 3000; ++round) {
        bool stars[COUNT] = {};
        const std::string format = random_checked_format(random, stars);
        ASSERT_EQ(check_format(format.c_str(), KINDS, COUNT).problem, Problem::NONE) << format;
        PlanStep steps[3 * COUNT];
        ASSERT_TRUE(make_plan(format.c_str(), steps, std::size(steps), unsigned_arguments<ARGUMENT_TYPES>())) << format;
        const Arguments a = random_arguments(random, stars);
        ViewCopies<2> copies;
        const ValueArgument planned[] = {plan_values<0, ARGUMENT_TYPES>(&copies, a.i0),
                                         plan_values<1, ARGUMENT_TYPES>(&copies, a.i1),
                                         plan_values<2, ARGUMENT_TYPES>(&copies, a.text),
                                         plan_values<3, ARGUMENT_TYPES>(&copies, a.i2),
                                         plan_values<4, ARGUMENT_TYPES>(&copies, a.wide_integer),
                                         plan_values<5, ARGUMENT_TYPES>(&copies, a.i3),
                                         plan_values<6, ARGUMENT_TYPES>(&copies, a.view),
                                         plan_values<7, ARGUMENT_TYPES>(&copies, a.i4),
                                         plan_values<8, ARGUMENT_TYPES>(&copies, a.text16),
                                         plan_values<9, ARGUMENT_TYPES>(&copies, a.i5),
                                         plan_values<10, ARGUMENT_TYPES>(&copies, a.view16),
                                         plan_values<11, ARGUMENT_TYPES>(&copies, a.pointer),
                                         ValueArgument{0, nullptr, -1, false}};
        const FaceRun face_run{"test", format.c_str(), nullptr, 0, 0};

        std::string text, text_planned;
        std::u16string text16, text16_planned;
        run_engine(format, a, [&](const FaceRun* r, auto... c) { append_formatted(&text, r, c...); });
        run_engine(format, a, [&](const FaceRun* r, auto... c) { append_formatted(&text16, r, c...); });
        WindowRun run;
        open_string_run(&run, &text_planned);
        run_plan(&run.state, format.c_str(), steps, planned);
        close_string_run(&run, &face_run);
        open_string_run(&run, &text16_planned);
        run_plan(&run.state, format.c_str(), steps, planned);
        close_string_run(&run, &face_run);
        ASSERT_EQ(text_planned, text) << format;
        ASSERT_TRUE(text16_planned == text16) << format;
        for (size_t size = 0; size <= text.size() + 1; ++size) {
            std::vector<char> engine_bytes(text.size() + 2, 0x7F), plan_bytes(text.size() + 2, 0x7F);
            char* engine = engine_bytes.data();
            char* plan = plan_bytes.data();
            bracket::FormatToResult by_engine{};
            run_engine(format, a, [&](const FaceRun* r, auto... c) { by_engine = format_into(engine, size, r, c...); });
            BoundedRun bounded;
            open_bounded_run(&bounded, plan, size);
            run_plan(&bounded.state, format.c_str(), steps, planned);
            bracket::FormatToResult by_plan{};
            close_bounded_run(&bounded, &face_run, &by_plan);
            ASSERT_EQ(bounded_text(plan, size, by_plan), bounded_text(engine, size, by_engine))
                << format << " " << size;
            ASSERT_EQ(by_plan.ok, by_engine.ok) << format << " " << size;
            ASSERT_EQ(plan[size], 0x7F) << format << " " << size;
        }
    }
}

int32_t put_x(FormatState* state) {
    (void)va_arg(state->args, int32_t);
    return put_utf8_field(state, "X", 1, 1);
}

// Once a verb is installed over a built-in one, checked formats give way to
// the engine, which finds it.
TEST(FormatPlan, GivesWayToAVerbInstalledOverABuiltInOne) {
    EXPECT_EQ(bracket::format("%x|%d", 255, 7), "ff|7");
    ASSERT_EQ(install_verb('x', put_x), 0);
    EXPECT_EQ(bracket::format("%x|%d", 255, 7), "X|7");
    char buffer[8];
    EXPECT_EQ(bracket::format_to(buffer, "%x%%", 255).length, 2);
    EXPECT_STREQ(buffer, "X%");
}

}  // namespace
