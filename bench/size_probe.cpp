// Ten different checked formats in one program, for the size a plan adds to
// a program's calls: bench/CMakeLists.txt builds it planned and, with
// BRACKET_FORMAT_PLAN=0, run by the engine; scripts/bench.sh compares them.
#include <cstdio>
#include <string>

#include "format/format.hpp"

int main(int argc, char** argv) {
    const char* name = argv[0];
    const int n = argc;
    char buffer[256];
    std::string text = bracket::format("%s: %5d items, %08x, %-10s|", name, n, n * 7, "done");
    text += bracket::format("%d", n);
    text += bracket::format("%-30s|", name);
    text += bracket::format("%,d users", n * 1000003);
    bracket::format_to(buffer, "%s:%d: %s", name, n, "unexpected token");
    text += buffer;
    bracket::format_to(buffer, "[%*d] %lld", n, n, static_cast<long long>(n) << 33);
    text += buffer;
    text += bracket::format("%c%c%%", 'o', 'k');
    text += bracket::format("%#x %#o %b", n, n, n);
    text += bracket::format("%.3s|%5.2s|", name, "abcdef");
    text += bracket::format("%p %hd %hhx", static_cast<void*>(buffer), n, n);
    std::fputs(text.c_str(), stdout);
    return 0;
}
