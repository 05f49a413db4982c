#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/format/harness.h"

namespace {

using format_test::format_guarded;
using format_test::Formatted;

enum class Arg { Int, LongLong, Pointer };

struct IntegerRow {
    const char* format;
    Arg kind;
    int64_t value;
    std::string expected;
};

std::string format_row(const IntegerRow& row) {
    switch (row.kind) {
        case Arg::Int: return FORMAT_TEXT(row.format, static_cast<int>(row.value));
        case Arg::LongLong: return FORMAT_TEXT(row.format, static_cast<long long>(row.value));
        case Arg::Pointer: return FORMAT_TEXT(row.format, reinterpret_cast<void*>(static_cast<uintptr_t>(row.value)));
    }
    return "";
}

void expect_rows(const std::vector<IntegerRow>& rows) {
    for (const IntegerRow& row : rows) {
        EXPECT_EQ(format_row(row), row.expected) << "format " << row.format << " of " << row.value;
    }
}

std::string repeat(const char* piece, int n) {
    std::string s;
    for (int i = 0; i < n; ++i) s += piece;
    return s;
}

const int64_t MIN32 = INT32_MIN;
const int64_t MIN64 = INT64_MIN;

TEST(IntegerConversion, SignBaseAndPrefix) {
    expect_rows({
        {"%d", Arg::Int, 0, "0"},          {"%.0d", Arg::Int, 0, "0"},
        {"%#x", Arg::Int, 0, "0x0"},       {"%#o", Arg::Int, 0, "0"},
        {"%d", Arg::Int, -42, "-42"},      {"%x", Arg::Int, -1, "-1"},
        {"%ux", Arg::Int, -1, "ffffffff"}, {"%ud", Arg::Int, -1, "4294967295"},
        {"%X", Arg::Int, 255, "FF"},       {"%#X", Arg::Int, 255, "0XFF"},
        {"%#x", Arg::Int, 255, "0xff"},    {"%o", Arg::Int, 8, "10"},
        {"%#o", Arg::Int, 8, "010"},       {"%#.3o", Arg::Int, 8, "010"},
        {"%b", Arg::Int, 5, "101"},        {"%#b", Arg::Int, 5, "101"},
        {"%+d", Arg::Int, 5, "+5"},        {"% d", Arg::Int, 5, " 5"},
        {"%+ d", Arg::Int, 5, "+5"},       {"% d", Arg::Int, -5, "-5"},
        {"%+x", Arg::Int, 255, "+ff"},     {"%d", Arg::Int, MIN32, "-2147483648"},
    });
}

TEST(IntegerConversion, GroupingInEveryBase) {
    expect_rows({
        {"%,d", Arg::Int, 1234567, "1,234,567"},
        {"%,d", Arg::Int, -1234, "-1,234"},
        {"%,d", Arg::Int, 123, "123"},
        {"%,b", Arg::Int, 255, "11,111,111"},
        {"%,x", Arg::Int, 65535, "f,fff"},
        {"%,o", Arg::Int, 4095, "7,777"},
        {"%,.6d", Arg::Int, 1234, "01,234"},
        {"%,lld", Arg::LongLong, MIN64, "-9,223,372,036,854,775,808"},
    });
}

TEST(IntegerConversion, PrecisionWidthAndZeroFill) {
    expect_rows({
        {"%.5d", Arg::Int, 42, "00042"},
        {"%05d", Arg::Int, -42, "-0042"},
        {"%-05d", Arg::Int, -42, "-42  "},
        {"%5d", Arg::Int, -42, "  -42"},
        {"%08.3d", Arg::Int, 5, "00000005"},
        {"%#06x", Arg::Int, 255, "0x00ff"},
        {"%#5o", Arg::Int, 8, "  010"},
        {"%#05o", Arg::Int, 8, "00010"},
    });
}

TEST(IntegerConversion, ZerosStopAtSixtySixCharacters) {
    std::string zeros65(65, '0');
    expect_rows({
        {"%0100d", Arg::Int, 5, zeros65 + "5"},
        {"%0100d", Arg::Int, -5, "-" + zeros65 + "5"},
        {"%.100d", Arg::Int, 5, zeros65 + "5"},
        {"%100d", Arg::Int, 5, std::string(99, ' ') + "5"},
        {"%-0100d", Arg::Int, 5, "5" + std::string(99, ' ')},
        // The limit counts characters written, not those reserved for the prefix.
        {"%#0100x", Arg::Int, 255, "0x" + std::string(64, '0') + "ff"},
    });
}

TEST(IntegerConversion, LengthFlagsChooseTheArgument) {
    expect_rows({
        {"%hhd", Arg::Int, 255, "-1"},
        {"%hhud", Arg::Int, 255, "255"},
        {"%hhud", Arg::Int, 511, "255"},  // only the low 8 bits, also unsigned
        {"%hux", Arg::Int, 0x1ffff, "ffff"},
        {"%hhd", Arg::Int, 511, "-1"},
        {"%hd", Arg::Int, 65535, "-1"},
        {"%hud", Arg::Int, 65535, "65535"},
        {"%hld", Arg::Int, 65535, "65535"},
        {"%ld", Arg::Int, -1, "-1"},
        {"%lux", Arg::Int, -1, "ffffffff"},
        {"%lld", Arg::LongLong, MIN64, "-9223372036854775808"},
        {"%llux", Arg::LongLong, -1, "ffffffffffffffff"},
        {"%lld", Arg::LongLong, 1LL << 40, "1099511627776"},
        {"%p", Arg::Pointer, 0xAB0, "ab0"},
        {"%#p", Arg::Pointer, 0xAB0, "0xab0"},
        {"%llp", Arg::Pointer, 0xAB0, "ab0"},
        {"%hhp", Arg::Pointer, 0x1FF, "1ff"},
    });
}

// A grouped 64-bit value in base 2 is longer than the rest; it comes out whole.
TEST(IntegerConversion, GroupedBinaryOf64BitValueIsComplete) {
    const int64_t two52 = 1LL << 52;
    expect_rows({
        {"%,llb", Arg::LongLong, MIN64, "-1" + repeat(",000", 21)},
        {"%,llub", Arg::LongLong, -1, "1" + repeat(",111", 21)},
        {"%90,llub", Arg::LongLong, -1, "     1" + repeat(",111", 21)},
        {"%+,llb", Arg::LongLong, two52, "+10" + repeat(",000", 17)},
        {"%0100,llb", Arg::LongLong, two52, "10" + repeat(",000", 17)},
    });
}

TEST(IntegerConversion, CutAtTheBufferEnd) {
    Formatted f = format_guarded(4, "%d", 12345);
    EXPECT_EQ(f.result, 3);
    EXPECT_EQ(f.text, "123");
    f = format_guarded(3, "%5d", 1);
    EXPECT_EQ(f.text, "  ");
}

}  // namespace
