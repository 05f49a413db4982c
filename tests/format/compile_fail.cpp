// Each MISMATCH is a call that must not compile as C++20: run-compile-fail.cmake
// compiles this file with one of them and expects the compiler to refuse it
// with a message that names the conversion and the argument's type. Without
// MISMATCH the file compiles, which shows the failures come from the calls.
#include <cstdint>
#include <string>
#include <string_view>

#include "format/format.hpp"

namespace {
constexpr char NAMED[] = "%s|%d";
constexpr const char* POINTED = "%d";
struct Point {
    int x;
};
}  // namespace

int main(int argc, char** argv) {
    std::string text;
    int32_t count32 = 0;
    int64_t count64 = 0;
    (void)count32;
    (void)count64;
    (void)argc;
    (void)argv;
#if !defined(BRACKET_TEST_MISMATCH)
    text = bracket::format("%s %d %lld %ln %lln %p", "a", 1, int64_t{2}, &count32, &count64, &text);
    text = bracket::format(NAMED, std::string_view("a"), 1) + bracket::format(POINTED, 2);
    text += bracket::format(bracket::runtime(argv[0]), 1.5);  // a verb installed at run time may take a double
#elif BRACKET_TEST_MISMATCH == 1
    text = bracket::format("%ld", static_cast<long>(5000000000));  // long is 64 bits here
#elif BRACKET_TEST_MISMATCH == 2
    text = bracket::format("%s", 42);
#elif BRACKET_TEST_MISMATCH == 3
    text = bracket::format("%lld", 5);
#elif BRACKET_TEST_MISMATCH == 4
    text = bracket::format("%S", "narrow");
#elif BRACKET_TEST_MISMATCH == 5
    text = bracket::format("%n", &count64);
#elif BRACKET_TEST_MISMATCH == 6
    text = bracket::format("%*d", 2.5, 1);
#elif BRACKET_TEST_MISMATCH == 7
    text = bracket::format("%c", 1.5);
#elif BRACKET_TEST_MISMATCH == 8
    text = bracket::format("%p", 7);
#elif BRACKET_TEST_MISMATCH == 9
    text = bracket::format("%Q", 1);
#elif BRACKET_TEST_MISMATCH == 10
    text = bracket::format("%d %d", 1);
#elif BRACKET_TEST_MISMATCH == 11
    text = bracket::format("%d", 1, 2);
#elif BRACKET_TEST_MISMATCH == 12
    text = bracket::format("abc%", 1);
#elif BRACKET_TEST_MISMATCH == 13
    text = bracket::format("%\xE2\x98\x85", 1);  // a verb outside ASCII is never built in
#elif BRACKET_TEST_MISMATCH == 14
    text = bracket::format("%f", 1.5);
#elif BRACKET_TEST_MISMATCH == 15
    text = bracket::format(bracket::runtime("[%s]"), std::string_view("ab"));
#elif BRACKET_TEST_MISMATCH == 16
    const char* chosen = argv[0];
    text = bracket::format(chosen, 1);
#elif BRACKET_TEST_MISMATCH == 17
    text = bracket::format(bracket::runtime("%d"), Point{1});
#elif BRACKET_TEST_MISMATCH == 18
    text = bracket::format("%-------------------------------------------------------------10s", std::string_view("a"));
#elif BRACKET_TEST_MISMATCH == 19
    text = bracket::format("%d", 1.5);  // as C++17, which checks no format where it is written
#endif
    return text.empty() ? 1 : 0;
}
