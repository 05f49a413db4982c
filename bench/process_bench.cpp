// The cost of a `test` as a script pays it: a whole process per call. Runs
// our command (the shipped build), optionally our static glibc build, a peer
// `test`, an empty static program and a program with no C library at all on
// the same argument vectors in one run, and prints a table of
//   - instructions from exec to exit, counted by valgrind's callgrind (when
//     valgrind is there), and the instructions each extra token costs;
//   - wall time per call, fork + exec + wait, the median of many calls taken
//     in turn across the programs so that background load hits them alike;
//   - peak resident memory two ways: as the kernel reports it to the parent
//     (wait4's ru_maxrss, which also counts the forked image before exec, so
//     every program's figure is at least the driver's), and the program's
//     own pages, read from /proc at the moment it exits;
//   - the size of our command, stripped.
//
// Every child gets the same tiny environment (LC_ALL=C and nothing else):
// the C library's start-up reads the environment, so its size shows up in
// every figure.
//
//   process_bench --ours PATH --peer PATH --bare PATH [--glibc PATH]
//                 [--floor PATH] [--stripped PATH] [--rounds N]
//                 [--no-callgrind] [--valgrind PATH]
#include <fcntl.h>
#include <signal.h>
#include <sys/ptrace.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

char LC_ALL_C[] = "LC_ALL=C";
char* const ENVIRONMENT[] = {LC_ALL_C, nullptr};

struct Program {
    std::string label;
    std::string path;
};

using Words = std::vector<std::string>;

struct Workload {
    std::string name;
    Words arguments;  // after argv[0]
    int rounds_divisor;
};

Words chain(int tokens) {
    Words words{"a"};
    while (static_cast<int>(words.size()) + 2 <= tokens) {
        words.push_back("-a");
        words.push_back("a");
    }
    return words;
}

// Parentheses around a comparison: the peer reads "( a )" alone as a
// three-argument special case and rejects it nested, while both of us read
// "( ( a = a ) )" the same way.
Words nesting(int depth) {
    Words words(static_cast<size_t>(depth), "(");
    words.push_back("a");
    words.push_back("=");
    words.push_back("a");
    words.insert(words.end(), static_cast<size_t>(depth), ")");
    return words;
}

// argv for execve: the program's own name as argv[0], then the words.
struct Vector {
    std::vector<std::string> storage;
    std::vector<char*> pointers;

    Vector(const std::string& zeroth, const Words& words) : storage{zeroth} {
        storage.insert(storage.end(), words.begin(), words.end());
        for (std::string& word : storage) pointers.push_back(word.data());
        pointers.push_back(nullptr);
    }
};

double now_us() {
    timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<double>(t.tv_sec) * 1e6 + static_cast<double>(t.tv_nsec) / 1e3;
}

int null_descriptor = -1;

// fork copies the driver's page tables and leaves its pages copy-on-write,
// so the driver pays faults of its own after every call; vfork shares them
// until the exec. Both are timed: fork is what a shell does, vfork shows the
// program's own share more sharply.
enum Spawn { FORK, VFORK };

// One fork + exec + wait; returns the microseconds it took and stores the
// exit status (-1 when the child did not exit normally) and, when asked, the
// child's peak resident set in KiB as the kernel reports it.
double timed_call(const std::string& path, Vector& vector, int* status, Spawn spawn = FORK,
                  long* kernel_peak_kib = nullptr) {
    double start = now_us();
    pid_t child = spawn == VFORK ? vfork() : fork();
    if (child == 0) {
        dup2(null_descriptor, 1);
        dup2(null_descriptor, 2);
        execve(path.c_str(), vector.pointers.data(), ENVIRONMENT);
        _exit(127);
    }
    int raw = 0;
    rusage usage{};
    while (wait4(child, &raw, 0, &usage) < 0 && errno == EINTR) {
    }
    double elapsed = now_us() - start;
    *status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    if (kernel_peak_kib != nullptr) *kernel_peak_kib = usage.ru_maxrss;
    return elapsed;
}

// The program's peak resident set in KiB, read from /proc while it stands
// stopped at its exit. The kernel's own maxrss figure would also count the
// pages the child inherited from this driver before it called exec.
long peak_resident_kib(const std::string& path, Vector& vector) {
    pid_t child = fork();
    if (child == 0) {
        dup2(null_descriptor, 1);
        dup2(null_descriptor, 2);
        ptrace(PTRACE_TRACEME, 0, nullptr, nullptr);
        execve(path.c_str(), vector.pointers.data(), ENVIRONMENT);
        _exit(127);
    }
    int raw = 0;
    long peak = -1;
    if (waitpid(child, &raw, 0) != child || !WIFSTOPPED(raw)) return -1;  // stopped after exec
    ptrace(PTRACE_SETOPTIONS, child, nullptr, reinterpret_cast<void*>(PTRACE_O_TRACEEXIT));
    ptrace(PTRACE_CONT, child, nullptr, nullptr);
    while (waitpid(child, &raw, 0) == child) {
        if (WIFEXITED(raw) || WIFSIGNALED(raw)) break;
        if (WIFSTOPPED(raw) && (raw >> 8) == (SIGTRAP | (PTRACE_EVENT_EXIT << 8))) {
            char name[64];
            snprintf(name, sizeof name, "/proc/%d/status", static_cast<int>(child));
            if (FILE* status = fopen(name, "r")) {
                char line[256];
                while (fgets(line, sizeof line, status) != nullptr) {
                    if (strncmp(line, "VmHWM:", 6) == 0) peak = strtol(line + 6, nullptr, 10);
                }
                fclose(status);
            }
            ptrace(PTRACE_CONT, child, nullptr, nullptr);
            continue;
        }
        // Any other stop: pass the signal on.
        int signal = WIFSTOPPED(raw) ? WSTOPSIG(raw) : 0;
        ptrace(PTRACE_CONT, child, nullptr, reinterpret_cast<void*>(static_cast<long>(signal)));
    }
    return peak;
}

std::string valgrind_path;

// Instructions from exec to exit under callgrind; -1 when it cannot run.
long long instructions(const std::string& path, const Words& words) {
    if (valgrind_path.empty()) return -1;
    Words command{"--tool=callgrind", "--callgrind-out-file=/dev/null", path};
    command.insert(command.end(), words.begin(), words.end());
    Vector vector(valgrind_path, command);
    int pipe_ends[2];
    if (pipe(pipe_ends) != 0) return -1;
    pid_t child = fork();
    if (child == 0) {
        dup2(null_descriptor, 1);
        dup2(pipe_ends[1], 2);
        close(pipe_ends[0]);
        close(pipe_ends[1]);
        execve(valgrind_path.c_str(), vector.pointers.data(), ENVIRONMENT);
        _exit(127);
    }
    close(pipe_ends[1]);
    std::string report;
    char chunk[4096];
    for (ssize_t n; (n = read(pipe_ends[0], chunk, sizeof chunk)) > 0;) report.append(chunk, static_cast<size_t>(n));
    close(pipe_ends[0]);
    int raw = 0;
    waitpid(child, &raw, 0);
    size_t at = report.find("Collected : ");
    if (at == std::string::npos) return -1;
    return strtoll(report.c_str() + at + 12, nullptr, 10);
}

double median(std::vector<double> values) {
    if (values.empty()) return -1;
    std::sort(values.begin(), values.end());
    size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

std::string number(double value, int decimals = 0) {
    if (value < 0) return "-";
    char text[64];
    snprintf(text, sizeof text, "%.*f", decimals, value);
    // Thousands apart by a space, as the issue writes them.
    std::string digits = text;
    size_t point = digits.find('.');
    size_t end = point == std::string::npos ? digits.size() : point;
    for (long i = static_cast<long>(end) - 3; i > 0; i -= 3) digits.insert(static_cast<size_t>(i), " ");
    return digits;
}

std::string ratio(double ours, double theirs) {
    if (ours < 0 || theirs <= 0) return "-";
    char text[32];
    snprintf(text, sizeof text, "%.2f", ours / theirs);
    return text;
}

void row(const std::string& work, const std::vector<std::string>& cells) {
    printf("| %-52s |", work.c_str());
    for (const std::string& cell : cells) printf(" %10s |", cell.c_str());
    printf("\n");
}

struct Verdict {
    std::string what;
    double value;
    double at_most;
};

}  // namespace

int main(int argc, char** argv) {
    std::string ours, glibc, peer, floor_path, bare, stripped;
    int rounds = 1000;
    bool callgrind = true;
    valgrind_path = "/usr/bin/valgrind";
    for (int i = 1; i < argc; ++i) {
        std::string option = argv[i];
        if (option == "--no-callgrind") {
            callgrind = false;
            continue;
        }
        if (i + 1 >= argc) {
            fprintf(stderr, "%s needs a value\n", option.c_str());
            return 2;
        }
        std::string value = argv[++i];
        if (option == "--ours") ours = value;
        else if (option == "--glibc") glibc = value;
        else if (option == "--peer") peer = value;
        else if (option == "--floor") floor_path = value;
        else if (option == "--bare") bare = value;
        else if (option == "--stripped") stripped = value;
        else if (option == "--rounds") rounds = std::max(1, atoi(value.c_str()));
        else if (option == "--valgrind") valgrind_path = value;
        else {
            fprintf(stderr, "unknown option %s\n", option.c_str());
            return 2;
        }
    }
    if (ours.empty() || peer.empty() || bare.empty()) {
        fprintf(stderr,
                "usage: %s --ours PATH --peer PATH --bare PATH [--glibc PATH] [--floor PATH] [--stripped PATH]\n"
                "       [--rounds N] [--no-callgrind] [--valgrind PATH]\n",
                argv[0]);
        return 2;
    }
    if (!callgrind || access(valgrind_path.c_str(), X_OK) != 0) valgrind_path.clear();
    null_descriptor = open("/dev/null", O_RDWR);

    // Ours first, the bare program last; the others between when given.
    std::vector<Program> programs{{"ours", ours}};
    if (!glibc.empty()) programs.push_back({"glibc", glibc});
    programs.push_back({"peer", peer});
    if (!floor_path.empty()) programs.push_back({"empty", floor_path});
    programs.push_back({"bare", bare});
    const size_t OURS = 0, BARE = programs.size() - 1;
    const size_t PEER = glibc.empty() ? 1 : 2;
    // Ours, our glibc build and the peer run the expressions; the others only start.
    auto is_command = [&](size_t p) { return p <= PEER; };

    const std::vector<Workload> workloads = {
        {"-f /etc/passwd", {"-f", "/etc/passwd"}, 1},
        {"abc = abc -a 5 -gt 3", {"abc", "=", "abc", "-a", "5", "-gt", "3"}, 1},
        {"a -a a ... a, 10 001 tokens", chain(10001), 10},
        {"( ( ... a = a ... ) ), 5 000 deep", nesting(5000), 10},
    };

    printf("ours:  %s\n", ours.c_str());
    if (!glibc.empty()) printf("glibc: %s (ours, linked statically against glibc)\n", glibc.c_str());
    printf("peer:  %s\n", peer.c_str());
    if (!floor_path.empty()) printf("empty: %s (an empty static program)\n", floor_path.c_str());
    printf("bare:  %s (no C library at all)\n", bare.c_str());
    printf("environment of every child: LC_ALL=C only\n");
    printf("wall: median of %d calls per program (%d for the long vectors), the programs in turn\n\n", rounds,
           std::max(1, rounds / 10));

    // The commands must agree with the peer before their costs are worth
    // comparing.
    for (const Workload& workload : workloads) {
        int expected = -1;
        Vector peer_vector("test", workload.arguments);
        timed_call(peer, peer_vector, &expected);
        for (size_t p = 0; p < PEER; ++p) {
            int status = -1;
            Vector vector("test", workload.arguments);
            timed_call(programs[p].path, vector, &status);
            if (status != expected) {
                printf("warning: %s: exit status %d from %s, %d from the peer\n", workload.name.c_str(), status,
                       programs[p].label.c_str(), expected);
            }
        }
    }

    std::vector<Verdict> verdicts;
    std::vector<std::string> header;
    for (const Program& program : programs) header.push_back(program.label);
    header.push_back("ours/bare");
    header.push_back("ours/peer");
    row("work", header);
    printf("|%s|", std::string(54, '-').c_str());
    for (size_t i = 0; i < header.size(); ++i) printf("%s|", std::string(11, '-').append(":").c_str());
    printf("\n");

    auto emit = [&](const std::string& work, const std::vector<double>& values, int decimals) {
        std::vector<std::string> cells;
        for (size_t p = 0; p < programs.size(); ++p) cells.push_back(number(values[p], decimals));
        cells.push_back(ratio(values[OURS], values[BARE]));
        cells.push_back(ratio(values[OURS], values[PEER]));
        row(work, cells);
    };

    // Instructions: the bare program executes three, beneath callgrind's
    // notice; only the commands run the long vectors.
    if (!valgrind_path.empty()) {
        for (size_t w = 0; w < workloads.size(); ++w) {
            std::vector<double> counts(programs.size(), -1);
            for (size_t p = 0; p < BARE; ++p) {
                if (w < 2 || is_command(p))
                    counts[p] = static_cast<double>(instructions(programs[p].path, workloads[w].arguments));
            }
            emit("instructions, " + workloads[w].name, counts, 0);
            if (w == 0)
                verdicts.push_back({"instructions from exec to exit, " + workloads[w].name, counts[OURS], 3000});
            if (w < 2) {
                verdicts.push_back({"instructions " + workloads[w].name + ", ours/peer",
                                    counts[PEER] > 0 ? counts[OURS] / counts[PEER] : -1, 0.2});
            }
            if (w != 1) continue;
            // Both chains stay below the length at which the evaluation moves
            // to a stack of its own, so the difference is the tokens alone.
            const int short_chain = 101, long_chain = 1001;
            std::vector<double> per_token(programs.size(), -1);
            for (size_t p = 0; p < BARE; ++p) {
                if (!is_command(p)) continue;
                long long a = instructions(programs[p].path, chain(short_chain));
                long long b = instructions(programs[p].path, chain(long_chain));
                if (a > 0 && b > 0) per_token[p] = static_cast<double>(b - a) / (long_chain - short_chain);
            }
            emit("instructions per extra token, a -a a ... a", per_token, 1);
            verdicts.push_back({"instructions per extra token", per_token[OURS], 72});
        }
    } else {
        printf("(valgrind not found or --no-callgrind: no instruction counts)\n");
    }

    // Wall time per call, the programs in turn within every round; the
    // kernel's peak memory figure comes with each call.
    struct Timing {
        size_t workload;
        Spawn spawn;
    };
    const Timing timings[] = {{0, FORK}, {1, FORK}, {0, VFORK}, {1, VFORK}, {2, FORK}, {3, FORK}};
    std::vector<std::vector<double>> kernel_peaks(workloads.size());
    for (const Timing& timing : timings) {
        const Workload& workload = workloads[timing.workload];
        int workload_rounds = std::max(1, rounds / workload.rounds_divisor);
        std::vector<Vector> vectors;
        for (size_t p = 0; p < programs.size(); ++p) vectors.emplace_back("test", workload.arguments);
        std::vector<std::vector<double>> samples(programs.size()), peaks(programs.size());
        int status;
        for (int warm = 0; warm < 5; ++warm) {
            for (size_t p = 0; p < programs.size(); ++p)
                timed_call(programs[p].path, vectors[p], &status, timing.spawn);
        }
        for (int round = 0; round < workload_rounds; ++round) {
            for (size_t p = 0; p < programs.size(); ++p) {
                long peak = -1;
                samples[p].push_back(timed_call(programs[p].path, vectors[p], &status, timing.spawn, &peak));
                peaks[p].push_back(static_cast<double>(peak));
            }
        }
        std::vector<double> medians;
        for (auto& list : samples) medians.push_back(median(list));
        std::string how = timing.spawn == FORK ? "fork" : "vfork";
        emit("wall us/call (" + how + "), " + workload.name, medians, 1);
        // The targets are set on fork, as a shell starts a command; vfork
        // shows the program's own share more sharply and is not held to them.
        if (timing.workload < 2 && timing.spawn == FORK) {
            verdicts.push_back({"wall (" + how + ") " + workload.name + ", ours/bare",
                                medians[BARE] > 0 ? medians[OURS] / medians[BARE] : -1, 1.15});
        }
        if (timing.spawn == FORK) {
            for (auto& list : peaks) kernel_peaks[timing.workload].push_back(median(list));
        }
    }

    // Peak memory. As the kernel reports it after a fork, and the program's
    // own pages at exit: the median of five exits, since a dynamically linked
    // program's figure moves with what of its libraries the page cache holds.
    for (size_t w = 0; w < workloads.size(); w += 2) {
        emit("peak resident KiB (kernel, fork), " + workloads[w].name, kernel_peaks[w], 0);
        if (w == 0) {
            const std::vector<double>& peaks = kernel_peaks[w];
            verdicts.push_back({"peak resident (kernel) " + workloads[w].name + ", ours/bare",
                                peaks[BARE] > 0 ? peaks[OURS] / peaks[BARE] : -1, 1.10});
        }
    }
    for (size_t w = 0; w < workloads.size(); w += 2) {
        std::vector<double> peaks;
        for (const Program& program : programs) {
            std::vector<double> samples;
            for (int sample = 0; sample < 5; ++sample) {
                Vector vector("test", workloads[w].arguments);
                samples.push_back(static_cast<double>(peak_resident_kib(program.path, vector)));
            }
            peaks.push_back(median(samples));
        }
        emit("own pages at exit, KiB, " + workloads[w].name, peaks, 0);
        if (w == 0) {
            verdicts.push_back({"own pages " + workloads[w].name + ", ours/bare",
                                peaks[BARE] > 0 ? peaks[OURS] / peaks[BARE] : -1, 1.10});
            verdicts.push_back({"own pages " + workloads[w].name + ", ours/peer",
                                peaks[PEER] > 0 ? peaks[OURS] / peaks[PEER] : -1, 0.5});
        }
    }

    if (!stripped.empty()) {
        struct stat info;
        double bytes = stat(stripped.c_str(), &info) == 0 ? static_cast<double>(info.st_size) : -1;
        printf("\nours, stripped: %s bytes (%s)\n", number(bytes).c_str(), stripped.c_str());
        verdicts.push_back({"bytes of ours, stripped", bytes, 65536});
    }

    printf("\ntargets\n");
    for (const Verdict& verdict : verdicts) {
        const char* outcome = verdict.value < 0 ? "not measured" : verdict.value <= verdict.at_most ? "met" : "MISSED";
        printf("  %-56s %10.2f  at most %9.2f  %s\n", verdict.what.c_str(), verdict.value, verdict.at_most, outcome);
    }
    return 0;
}
