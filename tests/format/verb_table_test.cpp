// These tests change the process-wide verb table, which only grows; CTest runs
// each in a process of its own. The table-filling test comes last so that a
// run of the whole binary in one process passes as well.
#include <cstdint>

#include <gtest/gtest.h>

#include "format/detail/verb_lookup.h"
#include "tests/format/harness.h"

using namespace bracket;

namespace {

int32_t installed_row(uint32_t code) {
    for (int32_t i = 0; i < installed_verb_count; ++i) {
        if (installed_verbs[i].code == code) return i;
    }
    return -1;
}

int32_t write_replaced(FormatState* state) { return put_utf8_field(state, "R!", 2, 2); }

TEST(VerbTable, BuiltinIsCopiedInOnFirstUse) {
    ASSERT_EQ(installed_row('o'), -1);
    EXPECT_EQ(FORMAT_TEXT("%o", 8), "10");
    int32_t row = installed_row('o');
    ASSERT_GE(row, 0);
    EXPECT_EQ(installed_verbs[row].handler, convert_integer);
    int32_t count = installed_verb_count;
    EXPECT_EQ(FORMAT_TEXT("%o", 9), "11");
    EXPECT_EQ(installed_verb_count, count);
}

TEST(VerbTable, InstalledHandlerOverridesBuiltin) {
    EXPECT_EQ(FORMAT_TEXT("%x", 255), "ff");  // used before the replacement
    ASSERT_EQ(install_verb('x', write_replaced), 0);
    ASSERT_EQ(install_verb('d', write_replaced), 0);  // never used before
    EXPECT_EQ(FORMAT_TEXT("%x|%d", 1, 2), "R!|R!");
}

TEST(VerbTable, NullHandlerMakesABadVerb) {
    ASSERT_EQ(install_verb('s', nullptr), 0);
    EXPECT_EQ(FORMAT_TEXT("%s|%c", 'z'), "%s%|z");  // %s took no argument
}

TEST(VerbTable, CodeRange) {
    for (int32_t code : {0, -1, 65536, INT32_MIN, INT32_MAX}) {
        EXPECT_EQ(install_verb(code, write_replaced), -1) << code;
        EXPECT_EQ(installed_row(static_cast<uint32_t>(code)), -1) << code;
    }
    EXPECT_EQ(install_verb(65535, write_replaced), 0);
    EXPECT_EQ(FORMAT_TEXT("<%\xEF\xBF\xBF>"), "<R!>");
    EXPECT_EQ(find_verb_handler(0), convert_bad_verb);
}

TEST(VerbTable, FullTableRefusesOnlyNewCodes) {
    ASSERT_EQ(installed_row('b'), -1);
    for (int32_t code = 0x4E00; installed_verb_count < MAX_INSTALLED_VERBS; ++code) {
        ASSERT_EQ(install_verb(code, write_replaced), 0);
    }
    EXPECT_EQ(install_verb(0x4DFF, write_replaced), -1);
    EXPECT_EQ(installed_row(0x4DFF), -1);
    EXPECT_EQ(install_verb(0x4E00, convert_percent), 0);
    EXPECT_EQ(FORMAT_TEXT("%\xE4\xB8\x80"), "\xE4\xB8\x80");  // U+4E00 through convert_percent
    EXPECT_EQ(FORMAT_TEXT("%b %b", 5, 6), "101 110");         // a built-in still served from its own table
    EXPECT_EQ(installed_verb_count, MAX_INSTALLED_VERBS);
}

}  // namespace
