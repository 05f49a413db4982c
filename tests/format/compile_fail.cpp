// Each MISMATCH is a call that must not compile as C++20: run-compile-fail.cmake
// compiles this file with one of them and expects the compiler to refuse it
// with a message that names the conversion and the argument's type. Without
// MISMATCH the file compiles, which shows the failures come from the calls.
#include <cstdint>
#include <string>

#include "format/format.hpp"

int main() {
    std::string text;
    int32_t count32 = 0;
    int64_t count64 = 0;
    (void)count32;
    (void)count64;
#if !defined(BRACKET_TEST_MISMATCH)
    text = bracket::format("%s %d %lld %ln %lln %p", "a", 1, int64_t{2}, &count32, &count64, &text);
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
#endif
    return text.empty() ? 1 : 0;
}
