// Every public header, and the C++ face with every kind of argument, as a
// strict user's build compiles them (check-strict-headers.cmake): no warning
// may come from the headers.
#include <cstdint>
#include <string>
#include <string_view>

#include "format/format.h"
#include "format/format.hpp"
#include "format/utf8.h"
#include "format/version.h"
#include "portability/error_text.h"
#include "portability/file_status.h"

int main() {
    const std::string text = "text";
    const std::u16string text16 = u"text";
    const std::string_view view = text;
    const std::u16string_view view16 = text16;
    int8_t count8 = 0;
    int16_t count16 = 0;
    int32_t count32 = 0;
    int64_t count64 = 0;
    std::string out = bracket::format("%hhd %hd %d %ld %lld %ud %c %C %p", int8_t{1}, int16_t{2}, 3, int32_t{4},
                                      int64_t{5}, 6u, 'c', u'C', &out);
    out += bracket::format("%s %s %s %S %S %S", "a", text, view, u"b", text16, view16);
    out += bracket::format("%*.*s|%-8.3S|%hhn%hn%n%lln", 4, -2, view, view16, &count8, &count16, &count32, &count64);
    out += bracket::format(bracket::runtime("%d %s %S"), 7, text, text16);
    std::u16string wide = bracket::format_u16("%s %lld", view, int64_t{8});
    wide += bracket::format_u16(bracket::runtime("%d"), 9);
    char buffer[16];
    bracket::FormatToResult result = bracket::format_to(buffer, "%s", view);
    result = bracket::format_to(buffer, sizeof buffer, bracket::runtime("%d"), 10);
    bracket::release_file_status(bracket::file_status_of_path("."));
    return result.ok && !out.empty() && !wide.empty() ? 0 : 1;
}
