// The platform's UTF-8 and UTF-16 pair, which every wide system call takes
// its text through: names in any script, and lone surrogates, both ways.
#include "platform/utf16.h"

#include <gtest/gtest.h>

#include <string>

using namespace bracket;

namespace {
TEST(Utf16Pair, EveryNameTheSystemHoldsComesBack) {
    struct Row {
        std::string utf8;
        std::u16string utf16;
        bool both_ways;  // false: only UTF-8 to UTF-16 gives this
    };
    const Row rows[] = {
        {"Zo\xc3\xab", u"Zo\u00eb", true},
        {"\xe6\x97\xa5\xe6\x9c\xac\xe8\xaa\x9e", u"\u65e5\u672c\u8a9e", true},
        {"\xf0\x9f\x98\x80.txt", u"\xd83d\xde00.txt", true},
        {"\xf4\x8f\xbf\xbf", u"\xdbff\xdfff", true},
        // A lone surrogate travels as its three-byte form, either half, and
        // a pair out of order stays two lone halves.
        {"a\xed\xa0\x80z", u"a\xd800z", true},
        {"\xed\xb0\x80\xed\xa0\x80", u"\xdc00\xd800", true},
        // Two halves in three-byte forms meet as a pair, which comes back as
        // one four-byte character.
        {"\xed\xa0\xbd\xed\xb8\x80", u"\xd83d\xde00", false},
        // Each byte that begins no whole sequence is one U+0080.
        {"B\xe4r", u"B\u0080r", false},
        {"caf\xe9", u"caf\u0080", false},
        {"\xf0\x9f\x98", u"\u0080\u0080\u0080", false},
        {"\xc0\xaf\xf5\x80", u"\u0080\u0080\u0080\u0080", false},
        {"\xf4\x90\x80\x80", u"\u0080\u0080\u0080\u0080", false},
    };
    for (const Row& row : rows) {
        char16_t wide[16];
        int32_t units = platform_utf16_of_utf8(row.utf8.data(), static_cast<int32_t>(row.utf8.size()), wide, 16);
        EXPECT_EQ(std::u16string(wide, static_cast<size_t>(units < 0 ? 0 : units)), row.utf16) << row.utf8;
        EXPECT_EQ(wide[units < 0 ? 0 : units], u'\0') << row.utf8;
        if (!row.both_ways) continue;
        char narrow[16];
        int32_t bytes =
            platform_utf8_of_utf16(row.utf16.data(), static_cast<int32_t>(row.utf16.size()), narrow, sizeof narrow);
        EXPECT_EQ(std::string(narrow, static_cast<size_t>(bytes < 0 ? 0 : bytes)), row.utf8) << row.utf8;
    }
}

TEST(Utf16Pair, ATextThatDoesNotFitIsRefusedWhole) {
    char16_t wide[3];
    EXPECT_EQ(platform_utf16_of_utf8("abc", 3, wide, 3), -1);  // no room for the terminator
    EXPECT_EQ(platform_utf16_of_utf8("a\xf0\x9f\x98\x80", 5, wide, 3), -1);
    EXPECT_EQ(platform_utf16_of_utf8("ab", 2, wide, 3), 2);
    char narrow[4];
    EXPECT_EQ(platform_utf8_of_utf16(u"\u65e5", 1, narrow, 3), -1);
    EXPECT_EQ(platform_utf8_of_utf16(u"\u65e5", 1, narrow, 4), 3);
    EXPECT_EQ(platform_utf8_of_utf16(u"\xd83d\xde00", 2, narrow, 4), -1);
}
}  // namespace
