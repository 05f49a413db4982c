// Times the C++ face with a string view for %s, the case that once cost a
// rewritten format and a second check on every call, beside the same line
// with a const char*. Built as C++20, as a user of the face would build.
//   face_view_bench [benchmark options]
//   face_view_bench --calls N view|pointer   (N calls and no timing, for callgrind)
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "format/format.hpp"

namespace {

const char* g_text = "a view of some text";

std::string view_line() {
    const std::string_view text = std::string_view(g_text).substr(2, 4);
    return bracket::format("%s|%d", text, 1);
}

std::string pointer_line() { return bracket::format("%s|%d", g_text, 1); }

void view(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(view_line());
}
BENCHMARK(view);

void pointer(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(pointer_line());
}
BENCHMARK(pointer);

}  // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::strcmp(argv[1], "--calls") == 0) {
        const bool view = std::strcmp(argv[3], "view") == 0;
        size_t bytes = 0;
        for (long n = std::atol(argv[2]); n > 0; --n) bytes += (view ? view_line() : pointer_line()).size();
        return bytes == 1 ? 1 : 0;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
