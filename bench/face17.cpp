// The C++ face as a C++17 program calls it: each format checked as the call
// runs, and run by the engine. Built as C++17 (bench/CMakeLists.txt).
#include "bench/face17.h"

#include "format/format.hpp"

int face17_int(char* buffer, int value) { return bracket::format_to(buffer, 256, "%d", value).length; }
int face17_pad30(char* buffer, const char* text) { return bracket::format_to(buffer, 256, "%-30s", text).length; }
int face17_hex08(char* buffer, int value) { return bracket::format_to(buffer, 256, "%08x", value).length; }
int face17_grouped(char* buffer, int value) { return bracket::format_to(buffer, 256, "%,d", value).length; }
int face17_mixed(char* buffer, const char* word, int count, int hex, const char* state) {
    return bracket::format_to(buffer, 256, "%s: %5d items, %08x, %-10s|", word, count, hex, state).length;
}
std::string face17_mixed_string(const char* word, int count, int hex, const char* state) {
    return bracket::format("%s: %5d items, %08x, %-10s|", word, count, hex, state);
}
