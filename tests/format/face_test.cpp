// The C++ face, built as C++17 (checked when it runs) and as C++20 (checked
// where the format is written): the same texts either way.
#include <cstdint>
#include <cstring>
#include <cwchar>  // WCHAR_MAX
#include <string>
#include <string_view>

#include <gtest/gtest.h>

#include "format/format.hpp"
#include "platform/platform.h"  // platform_error_code
#include "portability/error_text.h"

using namespace bracket;

namespace {

std::string error_text() {
    char text[ERROR_TEXT_SIZE];
    read_error_text(text, ERROR_TEXT_SIZE);
    return text;
}

TEST(Face, ArgumentsOfEveryKind) {
    const std::string name = "world";
    const char16_t wide[] = u"w\u00e9";
    const std::u16string wide_string = u"ab";
    int64_t big = 5000000000;
    int32_t count = 0;
    EXPECT_EQ(bracket::format("%s|%5s|%-4s|", name, "ab", std::string_view("xyz-not-this", 3)), "world|   ab|xyz |");
    EXPECT_EQ(bracket::format("%.2s|%6.2s|", std::string_view("abcd"), std::string_view("abcd")), "ab|    ab|");
    EXPECT_EQ(bracket::format("%.*s|", 1, std::string_view("abcd")), "a|");
    EXPECT_EQ(bracket::format("%S|%S|%S", wide, wide_string, std::u16string_view(u"xyz", 2)), "w\xC3\xA9|ab|xy");
    EXPECT_EQ(bracket::format("%lld %llx %d %ld %hhd %c%n", big, big, -7, int32_t{9}, 300, 'z', &count),
              "5000000000 12a05f200 -7 9 44 z");
    EXPECT_EQ(count, 30);
    EXPECT_EQ(bracket::format("%*d|%-*d|%%|%p", 4, 1, 3, 2, static_cast<void*>(nullptr)), "   1|2  |%|0");
    // A view ends where a terminator would; an unsigned value prints as it is.
    EXPECT_EQ(
        bracket::format("%s|%s|%S", std::string("ab\xC3"), std::string_view("ab\xC3"), std::u16string_view(u"a\xD83D")),
        "ab\xC2\x80|ab\xC2\x80|a\xED\xA0\xBD");
    EXPECT_EQ(bracket::format("%d %x %5llud", 4000000000u, 0xFFFFFFFFu, uint64_t{7}), "4000000000 ffffffff     7");
#if WCHAR_MAX <= 0xFFFF
    // Where wchar_t is a 16-bit unit, a program's wide texts are 16-bit texts.
    const std::wstring zoe = L"Zo\u00eb";
    EXPECT_EQ(bracket::format("%S|%C", L"Zo\u00eb \u65e5\u672c", L'\u00e9'),
              "Zo\xC3\xAB \xE6\x97\xA5\xE6\x9C\xAC|\xC3\xA9");
    EXPECT_EQ(bracket::format("%S|%.2S|%S", zoe, std::wstring_view(zoe), std::wstring_view(L"a\xD83D")),
              "Zo\xC3\xAB|Zo|a\xED\xA0\xBD");
    EXPECT_EQ(bracket::format_w("%s %S", "caf\xC3\xA9", zoe), L"caf\u00e9 Zo\u00eb");
    EXPECT_EQ(bracket::format_w(bracket::runtime("%S %d"), zoe, 5), L"Zo\u00eb 5");
#endif
}

TEST(Face, StringGrowsPastTheWindow) {
    // A two-byte character across the 256-byte window's end, and a text
    // several windows long.
    const std::string head(255, 'a');
    const std::string tail(1000, 'b');
    EXPECT_EQ(bracket::format("%s\xC3\xA9%s", head, tail), head + "\xC3\xA9" + tail);
    EXPECT_EQ(bracket::format_u16("%s%s", head, tail), std::u16string(255, u'a') + std::u16string(1000, u'b'));
    EXPECT_EQ(bracket::format_u16("\xC3\xA9\xE2\x82\xAC %d", 5), u"\u00e9\u20ac 5");
}

TEST(Face, FormatToReportsTheCut) {
    struct Row {
        size_t size;
        const char* text;
        int32_t length;
        bool cut;
    };
    // "ab\xC3\xA9" is four bytes: the two-byte character is dropped whole.
    for (const Row& row : {Row{6,
                               "ab\xC3\xA9"
                               "c",
                               5, false},
                           Row{5, "ab\xC3\xA9", 4, true}, Row{4, "ab", 2, true}, Row{1, "", 0, true}}) {
        char buffer[8];
        std::memset(buffer, 0x7F, sizeof buffer);
        bracket::FormatToResult result = bracket::format_to(buffer, row.size, "ab%sc", "\xC3\xA9");
        EXPECT_EQ(std::string(buffer), row.text) << row.size;
        EXPECT_EQ(result.length, row.length) << row.size;
        EXPECT_EQ(result.needed, 5) << row.size;
        EXPECT_EQ(result.cut, row.cut) << row.size;
        EXPECT_TRUE(result.ok);
        EXPECT_EQ(buffer[row.size], 0x7F) << "written past the buffer, size " << row.size;
    }
    bracket::FormatToResult nothing = bracket::format_to(nullptr, 0, "%d", 12345);
    EXPECT_EQ(nothing.length, 0);
    EXPECT_EQ(nothing.needed, 5);
    EXPECT_TRUE(nothing.cut);

    char array[4];
    bracket::FormatToResult result = bracket::format_to(array, "%x", 0xabcdefu);
    EXPECT_STREQ(array, "abc");
    EXPECT_EQ(result.needed, 6);

    // A count past 32 bits saturates; %n stores the whole text's count.
    char buffer16[16];
    result = bracket::format_to(buffer16, "[%2147483647d]%s", 5, "abc");
    EXPECT_EQ(result.needed, INT32_MAX);
    EXPECT_TRUE(result.cut && result.ok);
    int32_t count = 0;
    result = bracket::format_to(array, "abcdef%n", &count);
    EXPECT_EQ(count, 6);
    EXPECT_TRUE(result.cut && result.ok);
}

int32_t write_star(FormatState* state) { return put_utf8_field(state, "*", 1, 1); }

TEST(Face, RuntimeFormatsTakeInstalledVerbs) {
    ASSERT_EQ(install_verb(0x2605, write_star), 0);
    const char* format = "[%\xE2\x98\x85 %s %d]";
    EXPECT_EQ(bracket::format(bracket::runtime(format), std::string("ab"), 3), "[* ab 3]");
}

int32_t fail(FormatState*) { return -1; }

TEST(Face, AFailedRunIsReportedAndASuccessLeavesTheReportAlone) {
    ASSERT_EQ(install_verb('K', fail), 0);
    const auto failing = bracket::runtime("before <%K> after");
    set_error_text("earlier");
    EXPECT_EQ(bracket::format(failing), "before <");
    EXPECT_EQ(error_text(), "bracket::format: the conversion %K failed (argument 1)");
    EXPECT_EQ(bracket::format_u16(bracket::runtime("%d %-3K"), 1), u"1 ");
    EXPECT_EQ(error_text(), "bracket::format_u16: the conversion %-3K failed (argument 2)");
    char buffer[32];
    const bracket::FormatToResult result = bracket::format_to(buffer, failing);
    EXPECT_EQ(std::string(buffer), "before <");
    EXPECT_FALSE(result.ok || result.cut);
    EXPECT_EQ(error_text(), "bracket::format_to: the conversion %K failed (argument 1)");
    EXPECT_EQ(platform_error_code(), ERROR_TEXT_CODE);
    platform_set_error_code(2);
    EXPECT_EQ(bracket::format("%d", 1), "1");
    EXPECT_EQ(platform_error_code(), 2u);
}

#if !BRACKET_FORMAT_CHECK_AT_COMPILE_TIME
// C++17: what C++20 refuses to compile gives an empty text and ok false.
TEST(Face, MismatchGivesNothing) {
    EXPECT_EQ(bracket::format("%s", 42), "");
    EXPECT_EQ(bracket::format("%d", int64_t{5}), "");
    EXPECT_EQ(bracket::format("%d %d", 1), "");
    EXPECT_EQ(bracket::format("%d", 1, 2), "");
    EXPECT_EQ(bracket::format("%q", 1), "");
    EXPECT_EQ(bracket::format_u16("%S", "narrow"), u"");
    char buffer[8] = "xxxxxxx";
    bracket::FormatToResult result = bracket::format_to(buffer, "%s %d", std::string_view("a"), "b");
    EXPECT_FALSE(result.ok);
    EXPECT_STREQ(buffer, "");
    EXPECT_EQ(error_text(), "bracket::format_to: argument 2 does not match the conversion %d");
    EXPECT_EQ(bracket::format("100%"), "");
    EXPECT_EQ(error_text(), "bracket::format: the format ends inside a conversion (argument 1)");
    const char* null_format = nullptr;
    EXPECT_EQ(bracket::format(null_format), "");
    EXPECT_EQ(bracket::format_to(buffer, null_format).length, 0);
}
#endif

}  // namespace
