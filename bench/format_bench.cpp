// Times format_buffer, the C++ face's bracket::format_to (a C++20 checked
// format, run by its plan; and the same call built as C++17, run by the
// engine) and a hand-written floor for each format against the C library's
// snprintf, {fmt}'s format_to_n (its format read at run time, and compiled
// with FMT_COMPILE) and stb_sprintf on the same workloads in one run, then
// prints each workload's median time per call and the ratios. One workload
// makes a std::string: bracket::format against fmt::format and snprintf into
// a std::string.
//
// A ratio is printed only where the peer produced exactly our bytes: where
// it did not (a width counted in bytes rather than characters, a C locale
// without grouping) the two did different work and the time stands alone.
#include <benchmark/benchmark.h>
#include <fmt/compile.h>
#include <fmt/format.h>

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <locale>
#include <map>
#include <string>
#include <vector>

#include "bench/face17.h"
#include "bench/floor.h"
#include "format/format.h"
#include "format/format.hpp"
#include "stb_sprintf.h"  // the declarations only: the code comes from the distribution's libstb

using namespace bracket;

namespace {

constexpr int BUFFER_SIZE = 256;

// The arguments every workload draws from. Kept in globals the optimiser
// cannot see through (they are passed through DoNotOptimize each call).
int g_integer = 1234567;
int g_hex = 0x1234abc;
int g_count = 42;
const char* g_word = "ls";
const char* g_state = "done";
const char* g_ascii_text = "twenty-byte-text-abc";  // 20 bytes
// 22 characters in 34 bytes: two- and three-byte sequences, none of them a
// double-width character, so {fmt}'s display width equals our character count.
const char* g_utf8_text =
    "Gr\xC3\xBC\xC3\x9F"
    "e \xE2\x80\x94 20 \xE2\x82\xAC f\xC3\xBCr "
    "\xCE\xA9\xCE\xBC\xCE\xAD\xCE\xB3\xCE\xB1";

// {fmt} groups digits only through a locale; this one groups by three with
// a comma, as our "," flag and stb_sprintf's "'" flag do.
struct CommaGrouping : std::numpunct<char> {
    char do_thousands_sep() const override { return ','; }
    std::string do_grouping() const override { return "\3"; }
};
const std::locale& grouping_locale() {
    static const std::locale locale(std::locale::classic(), new CommaGrouping);
    return locale;
}

enum Library { BRACKET, FACE, FACE17, FLOOR, SNPRINTF, FMT, FMT_COMPILED, STB, LIBRARY_COUNT };
const char* const LIBRARY_NAMES[LIBRARY_COUNT] = {"bracket",  "face", "face17",      "floor",
                                                  "snprintf", "fmt",  "fmt_compile", "stb_sprintf"};

enum Workload { INTEGER, PAD_ASCII, HEX, MIXED, GROUPED, PAD_UTF8, MIXED_STRING, WORKLOAD_COUNT };
// Benchmark names, and the names of the table's rows.
const char* const WORKLOAD_KEYS[WORKLOAD_COUNT] = {"int",     "pad_ascii", "hex",         "mixed",
                                                   "grouped", "pad_utf8",  "mixed_string"};
const char* const WORKLOAD_NAMES[WORKLOAD_COUNT] = {"%d",
                                                    "%-30s (20-byte ASCII)",
                                                    "%08x",
                                                    "mixed line",
                                                    "grouped %,d",
                                                    "%-30s (UTF-8, 22 chars)",
                                                    "mixed line, std::string"};

// The "'" flag is POSIX, not ISO C; a format the compiler does not check
// keeps it from warning about it.
const char* const GROUPING_FORMAT = "%'d";

// An argument the optimiser cannot see through. Not DoNotOptimize: GCC 12
// loses arguments passed beside a consteval-checked format when they went
// through its "+m,r" constraint (clang does not); a register suffices here.
template <typename T>
T opaque(T value) {
    asm volatile("" : "+r"(value));
    return value;
}

void write_fmt_result(fmt::format_to_n_result<char*> result) {
    // format_to_n does not terminate; the others do, so this one must too.
    *result.out = '\0';
}

// The mixed line as a std::string, the way each library offers one; empty
// for a library that has none (stb_sprintf is timed into buffers only).
std::string string_once(Library library) {
    switch (library) {
        case BRACKET:
            return bracket::format("%s: %5d items, %08x, %-10s|", opaque(g_word), opaque(g_count), opaque(g_hex),
                                   opaque(g_state));
        case FACE17: return face17_mixed_string(opaque(g_word), opaque(g_count), opaque(g_hex), opaque(g_state));
        case FMT_COMPILED:
            return fmt::format(FMT_COMPILE("{}: {:5} items, {:08x}, {:<10}|"), opaque(g_word), opaque(g_count),
                               opaque(g_hex), opaque(g_state));
        case SNPRINTF: {
            char line[BUFFER_SIZE];
            int length = snprintf(line, sizeof line, "%s: %5d items, %08x, %-10s|", opaque(g_word), opaque(g_count),
                                  opaque(g_hex), opaque(g_state));
            return std::string(line, static_cast<size_t>(length));
        }
        case FMT:
            return fmt::format("{}: {:5} items, {:08x}, {:<10}|", opaque(g_word), opaque(g_count), opaque(g_hex),
                               opaque(g_state));
        default: return std::string();
    }
}

// One call of one library on one workload; returns the bytes written before
// the terminator, or -1 when the library has no way to do the work.
int format_once(Library library, Workload workload, char* buffer) {
    switch (library) {
        case BRACKET:
            switch (workload) {
                case INTEGER: return format_buffer(buffer, BUFFER_SIZE, "%d", opaque(g_integer));
                case PAD_ASCII: return format_buffer(buffer, BUFFER_SIZE, "%-30s", opaque(g_ascii_text));
                case HEX: return format_buffer(buffer, BUFFER_SIZE, "%08x", opaque(g_hex));
                case MIXED:
                    return format_buffer(buffer, BUFFER_SIZE, "%s: %5d items, %08x, %-10s|", opaque(g_word),
                                         opaque(g_count), opaque(g_hex), opaque(g_state));
                case GROUPED: return format_buffer(buffer, BUFFER_SIZE, "%,d", opaque(g_integer));
                case PAD_UTF8: return format_buffer(buffer, BUFFER_SIZE, "%-30s", opaque(g_utf8_text));
                default: return -1;
            }
        case FACE:
            switch (workload) {
                case INTEGER: return bracket::format_to(buffer, BUFFER_SIZE, "%d", opaque(g_integer)).length;
                case PAD_ASCII: return bracket::format_to(buffer, BUFFER_SIZE, "%-30s", opaque(g_ascii_text)).length;
                case HEX: return bracket::format_to(buffer, BUFFER_SIZE, "%08x", opaque(g_hex)).length;
                case MIXED:
                    return bracket::format_to(buffer, BUFFER_SIZE, "%s: %5d items, %08x, %-10s|", opaque(g_word),
                                              opaque(g_count), opaque(g_hex), opaque(g_state))
                        .length;
                case GROUPED: return bracket::format_to(buffer, BUFFER_SIZE, "%,d", opaque(g_integer)).length;
                case PAD_UTF8: return bracket::format_to(buffer, BUFFER_SIZE, "%-30s", opaque(g_utf8_text)).length;
                default: return -1;
            }
        case FACE17:
            switch (workload) {
                case INTEGER: return face17_int(buffer, opaque(g_integer));
                case PAD_ASCII: return face17_pad30(buffer, opaque(g_ascii_text));
                case HEX: return face17_hex08(buffer, opaque(g_hex));
                case MIXED:
                    return face17_mixed(buffer, opaque(g_word), opaque(g_count), opaque(g_hex), opaque(g_state));
                case GROUPED: return face17_grouped(buffer, opaque(g_integer));
                case PAD_UTF8: return face17_pad30(buffer, opaque(g_utf8_text));
                default: return -1;
            }
        case FLOOR:
            switch (workload) {
                case INTEGER: return floor_int(buffer, BUFFER_SIZE, opaque(g_integer));
                case PAD_ASCII: return floor_pad30(buffer, BUFFER_SIZE, opaque(g_ascii_text));
                case HEX: return floor_hex08(buffer, BUFFER_SIZE, opaque(g_hex));
                case MIXED:
                    return floor_mixed(buffer, BUFFER_SIZE, opaque(g_word), opaque(g_count), opaque(g_hex),
                                       opaque(g_state));
                case GROUPED: return floor_grouped(buffer, BUFFER_SIZE, opaque(g_integer));
                case PAD_UTF8: return floor_pad30(buffer, BUFFER_SIZE, opaque(g_utf8_text));
                default: return -1;
            }
        case FMT_COMPILED: {
            constexpr size_t room = BUFFER_SIZE - 1;
            fmt::format_to_n_result<char*> result{buffer, 0};
            switch (workload) {
                case INTEGER: result = fmt::format_to_n(buffer, room, FMT_COMPILE("{}"), opaque(g_integer)); break;
                case PAD_ASCII:
                    result = fmt::format_to_n(buffer, room, FMT_COMPILE("{:<30}"), opaque(g_ascii_text));
                    break;
                case HEX: result = fmt::format_to_n(buffer, room, FMT_COMPILE("{:08x}"), opaque(g_hex)); break;
                case MIXED:
                    result = fmt::format_to_n(buffer, room, FMT_COMPILE("{}: {:5} items, {:08x}, {:<10}|"),
                                              opaque(g_word), opaque(g_count), opaque(g_hex), opaque(g_state));
                    break;
                case PAD_UTF8:
                    result = fmt::format_to_n(buffer, room, FMT_COMPILE("{:<30}"), opaque(g_utf8_text));
                    break;
                // A compiled format takes no locale: grouping has no compiled form.
                default: return -1;
            }
            write_fmt_result(result);
            return static_cast<int>(result.out - buffer);
        }
        case SNPRINTF:
            switch (workload) {
                case INTEGER: return snprintf(buffer, BUFFER_SIZE, "%d", opaque(g_integer));
                case PAD_ASCII: return snprintf(buffer, BUFFER_SIZE, "%-30s", opaque(g_ascii_text));
                case HEX: return snprintf(buffer, BUFFER_SIZE, "%08x", opaque(g_hex));
                case MIXED:
                    return snprintf(buffer, BUFFER_SIZE, "%s: %5d items, %08x, %-10s|", opaque(g_word), opaque(g_count),
                                    opaque(g_hex), opaque(g_state));
                // The C locale has no thousands separator: "'" groups nothing.
                case GROUPED: return snprintf(buffer, BUFFER_SIZE, opaque(GROUPING_FORMAT), opaque(g_integer));
                case PAD_UTF8: return snprintf(buffer, BUFFER_SIZE, "%-30s", opaque(g_utf8_text));
                default: return -1;
            }
        case FMT: {
            constexpr size_t room = BUFFER_SIZE - 1;
            fmt::format_to_n_result<char*> result{buffer, 0};
            switch (workload) {
                case INTEGER: result = fmt::format_to_n(buffer, room, "{}", opaque(g_integer)); break;
                case PAD_ASCII: result = fmt::format_to_n(buffer, room, "{:<30}", opaque(g_ascii_text)); break;
                case HEX: result = fmt::format_to_n(buffer, room, "{:08x}", opaque(g_hex)); break;
                case MIXED:
                    result = fmt::format_to_n(buffer, room, "{}: {:5} items, {:08x}, {:<10}|", opaque(g_word),
                                              opaque(g_count), opaque(g_hex), opaque(g_state));
                    break;
                case GROUPED:
                    // No bounded form takes a locale; the text fits the buffer anyway.
                    result.out = fmt::format_to(buffer, grouping_locale(), "{:L}", opaque(g_integer));
                    break;
                case PAD_UTF8: result = fmt::format_to_n(buffer, room, "{:<30}", opaque(g_utf8_text)); break;
                default: return -1;
            }
            write_fmt_result(result);
            return static_cast<int>(result.out - buffer);
        }
        case STB:
            switch (workload) {
                case INTEGER: return stbsp_snprintf(buffer, BUFFER_SIZE, "%d", opaque(g_integer));
                case PAD_ASCII: return stbsp_snprintf(buffer, BUFFER_SIZE, "%-30s", opaque(g_ascii_text));
                case HEX: return stbsp_snprintf(buffer, BUFFER_SIZE, "%08x", opaque(g_hex));
                case MIXED:
                    return stbsp_snprintf(buffer, BUFFER_SIZE, "%s: %5d items, %08x, %-10s|", opaque(g_word),
                                          opaque(g_count), opaque(g_hex), opaque(g_state));
                case GROUPED: return stbsp_snprintf(buffer, BUFFER_SIZE, opaque(GROUPING_FORMAT), opaque(g_integer));
                case PAD_UTF8: return stbsp_snprintf(buffer, BUFFER_SIZE, "%-30s", opaque(g_utf8_text));
                default: return -1;
            }
        default: return -1;
    }
}

// The benchmark bodies are stamped out per library and workload so that the
// switch above folds away and each loop times one call and nothing else.
template <Library L, Workload W>
void time_call(benchmark::State& state) {
    char buffer[BUFFER_SIZE];
    for (auto _ : state) {
        if constexpr (W == MIXED_STRING) {
            std::string text = string_once(L);
            benchmark::DoNotOptimize(text.data());
        } else {
            int written = format_once(L, W, buffer);
            benchmark::DoNotOptimize(written);
        }
        benchmark::ClobberMemory();
    }
}

template <Workload W, Library L>
void register_one() {
    const bool has = W == MIXED_STRING ? (L == BRACKET || L == FACE17 || L == SNPRINTF || L == FMT || L == FMT_COMPILED)
                                       : !(L == FMT_COMPILED && W == GROUPED);
    if (has) {
        benchmark::RegisterBenchmark((std::string(WORKLOAD_KEYS[W]) + "/" + LIBRARY_NAMES[L]).c_str(), time_call<L, W>);
    }
}

template <Workload W>
void register_workload() {
    register_one<W, BRACKET>();
    register_one<W, FACE>();
    register_one<W, FACE17>();
    register_one<W, FLOOR>();
    register_one<W, SNPRINTF>();
    register_one<W, FMT>();
    register_one<W, FMT_COMPILED>();
    register_one<W, STB>();
}

// Remembers each benchmark's CPU time per call (the machine is shared, and
// time spent waiting for a core is no one's cost), the median of the
// repetitions when there are several, for the table at the end; the console shows the
// machine's context, and each run's line only with --verbose.
class RecordingReporter : public benchmark::ConsoleReporter {
public:
    std::map<std::string, double> nanoseconds;
    bool verbose = false;

    void ReportRuns(const std::vector<Run>& runs) override {
        if (verbose) ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.error_occurred) continue;
            std::string name = run.run_name.str();
            bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
            if (median || (run.run_type == Run::RT_Iteration && nanoseconds.count(name) == 0)) {
                nanoseconds[name] = run.GetAdjustedCPUTime() * time_unit_to_ns(run.time_unit);
            }
        }
    }

private:
    static double time_unit_to_ns(benchmark::TimeUnit unit) {
        switch (unit) {
            case benchmark::kSecond: return 1e9;
            case benchmark::kMillisecond: return 1e6;
            case benchmark::kMicrosecond: return 1e3;
            default: return 1.0;
        }
    }
};

struct Target {
    Library ours;
    Workload workload;
    Library peer;
    double at_most;
};

// The ratios asked for. format_buffer: the mixed line against snprintf,
// every workload against stb_sprintf where both do the same work, UTF-8
// padding against {fmt}. The face's checked formats (run by their plans)
// against the floor and against {fmt}'s compiled formats; bracket::format
// into a std::string against fmt::format.
const Target TARGETS[] = {
    {BRACKET, MIXED, SNPRINTF, 0.65},    {BRACKET, INTEGER, STB, 1.0},
    {BRACKET, PAD_ASCII, STB, 1.0},      {BRACKET, HEX, STB, 1.0},
    {BRACKET, MIXED, STB, 1.0},          {BRACKET, GROUPED, STB, 1.0},
    {BRACKET, PAD_UTF8, STB, 1.0},       {BRACKET, PAD_UTF8, FMT, 0.5},
    {FACE, MIXED, FLOOR, 2.0},           {FACE, INTEGER, FLOOR, 2.5},
    {FACE, PAD_ASCII, FLOOR, 2.5},       {FACE, HEX, FLOOR, 2.5},
    {FACE, GROUPED, FLOOR, 2.5},         {FACE, PAD_UTF8, FLOOR, 2.5},
    {FACE, INTEGER, FMT_COMPILED, 1.0},  {FACE, PAD_ASCII, FMT_COMPILED, 1.0},
    {FACE, HEX, FMT_COMPILED, 1.0},      {FACE, MIXED, FMT_COMPILED, 1.0},
    {FACE, PAD_UTF8, FMT_COMPILED, 1.0}, {BRACKET, MIXED_STRING, SNPRINTF, 1.0},
    {BRACKET, MIXED_STRING, FMT, 0.40},  {BRACKET, MIXED_STRING, FMT_COMPILED, 1.0},
};

std::string shown(const char* bytes, int length) {
    std::string text = "\"";
    for (int i = 0; i < length; ++i) text += bytes[i];
    return text + "\"";
}

}  // namespace

int main(int argc, char** argv) {
    // Nine repetitions of at least 0.1 s each, taken in random order across
    // all the benchmarks so that a change in the machine's load falls on
    // every library alike, and their median; unless the caller chose
    // otherwise.
    std::vector<char*> arguments{argv[0]};
    std::string repetitions = "--benchmark_repetitions=9";
    std::string interleave = "--benchmark_enable_random_interleaving=true";
    std::string aggregates = "--benchmark_report_aggregates_only=true";
    std::string min_time = "--benchmark_min_time=0.1";
    bool chosen_repetitions = false, chosen_time = false, verbose = false;
    for (int i = 1; i < argc; ++i) {
        if (strcmp(argv[i], "--verbose") == 0) {
            verbose = true;
            continue;
        }
        chosen_repetitions |= strncmp(argv[i], "--benchmark_repetitions", 23) == 0;
        chosen_time |= strncmp(argv[i], "--benchmark_min_time", 20) == 0;
        arguments.push_back(argv[i]);
    }
    if (!chosen_repetitions) {
        arguments.push_back(repetitions.data());
        arguments.push_back(aggregates.data());
        arguments.push_back(interleave.data());
    }
    if (!chosen_time) arguments.push_back(min_time.data());
    int count = static_cast<int>(arguments.size());
    benchmark::Initialize(&count, arguments.data());

    // Which peers produce exactly our bytes on which workload.
    bool same[WORKLOAD_COUNT][LIBRARY_COUNT];
    for (int w = 0; w < WORKLOAD_COUNT; ++w) {
        char ours[BUFFER_SIZE];
        int our_length = format_once(BRACKET, static_cast<Workload>(w), ours);
        if (w == MIXED_STRING) {
            const std::string text = string_once(BRACKET);
            printf("%-26s %-9s %s\n", WORKLOAD_NAMES[w], LIBRARY_NAMES[BRACKET],
                   shown(text.data(), static_cast<int>(text.size())).c_str());
            same[w][BRACKET] = true;
            for (int l = FACE; l < LIBRARY_COUNT; ++l) {
                const std::string theirs = string_once(static_cast<Library>(l));
                const bool made = l == FACE17 || l == SNPRINTF || l == FMT || l == FMT_COMPILED;
                same[w][l] = made && theirs == text;
                if (made && !same[w][l])
                    printf("%-26s %-9s %s  (differs: no ratio)\n", "", LIBRARY_NAMES[l],
                           shown(theirs.data(), static_cast<int>(theirs.size())).c_str());
            }
            continue;
        }
        printf("%-26s %-9s %s\n", WORKLOAD_NAMES[w], LIBRARY_NAMES[BRACKET], shown(ours, our_length).c_str());
        same[w][BRACKET] = true;
        for (int l = FACE; l < LIBRARY_COUNT; ++l) {
            char theirs[BUFFER_SIZE];
            int length = format_once(static_cast<Library>(l), static_cast<Workload>(w), theirs);
            if (length < 0) {
                same[w][l] = false;  // no way to do the work
                continue;
            }
            same[w][l] = length == our_length && memcmp(ours, theirs, static_cast<size_t>(length)) == 0;
            if (!same[w][l]) {
                printf("%-26s %-9s %s  (differs: no ratio)\n", "", LIBRARY_NAMES[l], shown(theirs, length).c_str());
            }
        }
    }
    printf("\n");

    register_workload<INTEGER>();
    register_workload<PAD_ASCII>();
    register_workload<HEX>();
    register_workload<MIXED>();
    register_workload<GROUPED>();
    register_workload<PAD_UTF8>();
    register_workload<MIXED_STRING>();

    RecordingReporter reporter;
    reporter.verbose = verbose;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    auto time_of = [&](int w, int l) {
        auto found = reporter.nanoseconds.find(std::string(WORKLOAD_KEYS[w]) + "/" + LIBRARY_NAMES[l]);
        return found == reporter.nanoseconds.end() ? -1.0 : found->second;
    };

    printf(
        "\nCPU ns per call into a %d-byte buffer (median of the repetitions); bracket is format_buffer, face\n"
        "bracket::format_to with a checked format (C++20: its plan), face17 the same built as C++17; the\n"
        "std::string row's bracket is bracket::format (C++20)\n",
        BUFFER_SIZE);
    printf("| %-24s |", "work");
    for (int l = 0; l < LIBRARY_COUNT; ++l) printf(" %s |", LIBRARY_NAMES[l]);
    printf(" face / floor | face / fmt_compile | bracket / snprintf |\n|---|");
    for (int l = 0; l < LIBRARY_COUNT + 3; ++l) printf("---:|");
    printf("\n");
    auto ratio_cell = [&](int w, int ours, int peer) {
        char cell[32];
        const double mine = time_of(w, ours), theirs = time_of(w, peer);
        if (mine < 0 || theirs <= 0) return std::string("-");
        if (!same[w][peer]) return std::string("(differs)");
        snprintf(cell, sizeof cell, "%.2f", mine / theirs);
        return std::string(cell);
    };
    for (int w = 0; w < WORKLOAD_COUNT; ++w) {
        printf("| %-24s |", WORKLOAD_NAMES[w]);
        for (int l = 0; l < LIBRARY_COUNT; ++l) {
            const double t = time_of(w, l);
            if (t < 0) {
                printf(" - |");
            } else {
                printf(" %.1f |", t);
            }
        }
        printf(" %s | %s | %s |\n", ratio_cell(w, FACE, FLOOR).c_str(), ratio_cell(w, FACE, FMT_COMPILED).c_str(),
               ratio_cell(w, BRACKET, SNPRINTF).c_str());
    }

    printf("\ntargets\n");
    int missed = 0;
    for (const Target& target : TARGETS) {
        double ours = time_of(target.workload, target.ours);
        double theirs = time_of(target.workload, target.peer);
        const char* verdict;
        char ratio[32] = "-";
        if (!same[target.workload][target.peer] || !same[target.workload][target.ours]) {
            verdict = "not the same work";
        } else if (ours < 0 || theirs <= 0) {
            verdict = "not measured";
        } else {
            snprintf(ratio, sizeof ratio, "%.2f", ours / theirs);
            verdict = ours / theirs <= target.at_most ? "met" : "MISSED";
            missed += ours / theirs <= target.at_most ? 0 : 1;
        }
        printf("  %-26s %-7s vs %-11s  at most %.2fx: %5s  %s\n", WORKLOAD_NAMES[target.workload],
               LIBRARY_NAMES[target.ours], LIBRARY_NAMES[target.peer], target.at_most, ratio, verdict);
    }
    return 0;
}
