// The codec: decoding against an independent model over every
// three-byte prefix, encoding over the whole 16-bit range, and the counters.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "format/utf8.h"
#include "tests/format/utf8_reference.h"

using namespace bracket;

namespace {

struct Decoded {
    Char16 value;
    int32_t length;
};

Decoded decode(const std::string& bytes) {
    // Pad with a byte that is no continuation byte, so that the decoder may
    // always read three bytes of the string object.
    std::string padded = bytes + std::string(3, '\x7F');
    Decoded d{0x1234, 0};
    d.length = decode_utf8_char(&d.value, padded.c_str());
    return d;
}

std::string bytes_of(std::initializer_list<unsigned> values) {
    std::string s;
    for (unsigned v : values) s.push_back(static_cast<char>(v));
    return s;
}

TEST(Utf8Decode, MatchesTheReferenceForEveryThreeBytePrefix) {
    char text[3];
    int32_t mismatches = 0;
    for (unsigned b0 = 0; b0 < 256; ++b0) {
        for (unsigned b1 = 0; b1 < 256; ++b1) {
            for (unsigned b2 = 0; b2 < 256; ++b2) {
                text[0] = static_cast<char>(b0);
                text[1] = static_cast<char>(b1);
                text[2] = static_cast<char>(b2);
                Char16 value = 0x1234;
                const int32_t length = decode_utf8_char(&value, text);
                Decoded want;
                want.length = utf8_reference::decode(reinterpret_cast<const unsigned char*>(text), &want.value);
                if ((value != want.value || length != want.length) && ++mismatches <= 10) {
                    ADD_FAILURE() << std::hex << "bytes " << b0 << ' ' << b1 << ' ' << b2 << ": got " << value << '/'
                                  << length << ", want " << want.value << '/' << want.length;
                }
            }
        }
    }
    EXPECT_EQ(mismatches, 0);
}

// Values written by hand, for the decoder and for the reference the
// exhaustive test holds it to: a fault shared by both shows here.
TEST(Utf8Decode, KnownSequences) {
    struct Case {
        std::string bytes;
        Char16 value;
        int32_t length;
    } const cases[] = {
        {"A", 0x41, 1},
        {std::string(1, '\0'), 0, 1},
        {bytes_of({0x7F}), 0x7F, 1},
        {bytes_of({0xC3, 0xA9}), 0xE9, 2},
        {bytes_of({0xDF, 0xBF}), 0x7FF, 2},
        {bytes_of({0xC2, 0x80}), 0x80, 2},
        {bytes_of({0xC0, 0x80}), MALFORMED_CHAR16, 1},
        {bytes_of({0xC1, 0xBF}), MALFORMED_CHAR16, 1},
        {bytes_of({0xE0, 0x9F, 0xBF}), MALFORMED_CHAR16, 1},
        {bytes_of({0xE0, 0xA0, 0x80}), 0x800, 3},
        {bytes_of({0xEF, 0xBF, 0xBF}), 0xFFFF, 3},
        {bytes_of({0xED, 0xA0, 0x80}), 0xD800, 3},
        {bytes_of({0xED, 0xBF, 0xBF}), 0xDFFF, 3},
        {bytes_of({0xF0, 0x9F, 0x98, 0x80}), MALFORMED_CHAR16, 1},
        {bytes_of({0xF4, 0x90, 0x80, 0x80}), MALFORMED_CHAR16, 1},
        {bytes_of({0xF7, 0xBF, 0xBF}), MALFORMED_CHAR16, 1},
        {bytes_of({0xFF, 0xBF, 0xBF}), MALFORMED_CHAR16, 1},
        {bytes_of({0x80, 0x80}), MALFORMED_CHAR16, 1},
        {bytes_of({0xBF, 0xBF, 0xBF}), MALFORMED_CHAR16, 1},
        {bytes_of({0xC3, 0x00}), MALFORMED_CHAR16, 1},
        {bytes_of({0xC3, 0xC3, 0xA9}), MALFORMED_CHAR16, 1},
        {bytes_of({0xE2, 0x82, 0x00}), MALFORMED_CHAR16, 1},
        {bytes_of({0xE2, 0x82, 0xAC}), 0x20AC, 3},
        {bytes_of({0xE2, 0xC3, 0xA9}), MALFORMED_CHAR16, 1},
        {bytes_of({0xE2, 0x41}), MALFORMED_CHAR16, 1},
        {bytes_of({0xE1, 0x80, 0xC0}), MALFORMED_CHAR16, 1},
    };
    for (const Case& c : cases) {
        const unsigned lead = static_cast<unsigned char>(c.bytes[0]);
        const Decoded d = decode(c.bytes);
        EXPECT_EQ(d.value, c.value) << "lead " << std::hex << lead;
        EXPECT_EQ(d.length, c.length) << "lead " << std::hex << lead;
        const std::string padded = c.bytes + std::string(3, '\x7F');
        Decoded want;
        want.length = utf8_reference::decode(reinterpret_cast<const unsigned char*>(padded.c_str()), &want.value);
        EXPECT_EQ(want.value, c.value) << "the reference, lead " << std::hex << lead;
        EXPECT_EQ(want.length, c.length) << "the reference, lead " << std::hex << lead;
    }
}

// Decodes a whole NUL-terminated text, one value per step.
std::vector<Char16> decode_all(const std::string& text) {
    std::vector<Char16> values;
    const char* p = text.c_str();
    while (*p != 0) {
        Char16 v;
        const int32_t n = decode_utf8_char(&v, p);
        EXPECT_GE(n, 1);
        EXPECT_LE(n, 3);
        values.push_back(v);
        p += n;
    }
    return values;
}

TEST(Utf8Decode, MalformedStretchesYieldOneValuePerByte) {
    EXPECT_EQ(decode_all(bytes_of({0xF0, 0x9F, 0x98, 0x80})), (std::vector<Char16>{0x80, 0x80, 0x80, 0x80}));
    EXPECT_EQ(decode_all(bytes_of({0xE2, 0xC3, 0xA9})), (std::vector<Char16>{0x80, 0xE9}));
    EXPECT_EQ(decode_all(bytes_of({0x80, 0xBF, 0xC0, 0xC1, 0x41})),
              (std::vector<Char16>{0x80, 0x80, 0x80, 0x80, 0x41}));
    EXPECT_EQ(decode_all(bytes_of({0xE2, 0x82, 0xE2, 0x82, 0xAC})), (std::vector<Char16>{0x80, 0x80, 0x20AC}));
    EXPECT_EQ(decode_all(bytes_of({0xE0, 0x9F, 0xBF, 0x62})), (std::vector<Char16>{0x80, 0x80, 0x80, 0x62}));
    EXPECT_EQ(decode_all(bytes_of({0xE2, 0x82})), (std::vector<Char16>{0x80, 0x80}));
    EXPECT_EQ(decode_all(bytes_of({0xFF, 0xFE})), (std::vector<Char16>{0x80, 0x80}));
}

TEST(Utf8Encode, RoundTripsTheWhole16BitRange) {
    for (uint32_t v = 0; v <= 0xFFFF; ++v) {
        const Char16 value = static_cast<Char16>(v);
        char buffer[4] = {'\x5A', '\x5A', '\x5A', '\x5A'};
        const int32_t written = encode_utf8_char(buffer, &value);
        const int32_t want = v < 0x80 ? 1 : v < 0x800 ? 2 : 3;
        ASSERT_EQ(written, want) << std::hex << v;
        ASSERT_EQ(utf8_char_length(static_cast<int32_t>(v)), want) << std::hex << v;
        for (int32_t i = written; i < 4; ++i) ASSERT_EQ(buffer[i], '\x5A') << "wrote past the sequence";
        Char16 back = static_cast<Char16>(~value);
        ASSERT_EQ(decode_utf8_char(&back, buffer), written) << std::hex << v;
        ASSERT_EQ(back, value);
        // The same sequence, counted whole and at each cut.
        buffer[written] = 0;
        ASSERT_EQ(utf8_count_chars(buffer), v == 0 ? 0 : 1) << std::hex << v;
        ASSERT_EQ(utf8_count_chars_bounded(buffer, static_cast<uint32_t>(written)), v == 0 ? 0 : 1);
        ASSERT_EQ(utf8_count_chars_bounded(buffer, static_cast<uint32_t>(written - 1)), 0) << std::hex << v;
    }
}

TEST(Utf8Encode, BoundaryValues) {
    struct Case {
        Char16 value;
        std::string bytes;
    } const cases[] = {
        {0x7F, bytes_of({0x7F})},
        {0x80, bytes_of({0xC2, 0x80})},
        {0x7FF, bytes_of({0xDF, 0xBF})},
        {0x800, bytes_of({0xE0, 0xA0, 0x80})},
        {0xD800, bytes_of({0xED, 0xA0, 0x80})},
        {0xFFFF, bytes_of({0xEF, 0xBF, 0xBF})},
    };
    for (const Case& c : cases) {
        char buffer[3];
        const int32_t n = encode_utf8_char(buffer, &c.value);
        EXPECT_EQ(std::string(buffer, static_cast<size_t>(n)), c.bytes) << std::hex << c.value;
    }
}

TEST(Utf8Encode, ReencodingReproducesWellFormedTextAndWidensMalformedBytes) {
    const std::string text = "a" + bytes_of({0xC3, 0xA9, 0x80, 0xE2, 0x82, 0xAC, 0xF0, 0xC0, 0xAF}) + "z";
    std::string again;
    for (Char16 v : decode_all(text)) {
        char buffer[3];
        again.append(buffer, static_cast<size_t>(encode_utf8_char(buffer, &v)));
    }
    EXPECT_EQ(again,
              "a" + bytes_of({0xC3, 0xA9, 0xC2, 0x80, 0xE2, 0x82, 0xAC, 0xC2, 0x80, 0xC2, 0x80, 0xC2, 0x80}) + "z");
}

TEST(Utf8Length, UnitsLength) {
    const Char16 units[] = {0x41, 0xE9, 0x800};
    EXPECT_EQ(utf8_units_length(units, 3), 6);
    EXPECT_EQ(utf8_units_length(units, 0), 0);
    EXPECT_EQ(utf8_units_length(nullptr, 0), 0);
    const Char16 edges[] = {0x7F, 0x80, 0x7FF, 0x800, 0xFFFF, 0};
    EXPECT_EQ(utf8_units_length(edges, 6), 1 + 2 + 2 + 3 + 3 + 1);
}

// The lead byte alone decides, whatever follows it: each class of lead
// bytes at both of its ends, for every n around what it needs.
TEST(Utf8SequenceComplete, JudgesByTheLeadByteAlone) {
    struct Case {
        unsigned lead;
        int32_t required;
    } const cases[] = {
        {0x00, 1}, {0x7F, 1}, {0x80, 2}, {0xBF, 2}, {0xC0, 2}, {0xDF, 2}, {0xE0, 3}, {0xEF, 3}, {0xF0, 3}, {0xFF, 3},
    };
    for (const Case& c : cases) {
        // The bytes after the lead would make the sequence malformed.
        const char text[4] = {static_cast<char>(c.lead), 0, 0, 0};
        for (int32_t n = -2; n <= 4; ++n) {
            EXPECT_EQ(utf8_sequence_complete(text, n), n >= c.required && n > 0 ? 1 : 0)
                << std::hex << c.lead << " n=" << std::dec << n;
        }
    }
    // n <= 0 reads nothing, so any address will do.
    EXPECT_EQ(utf8_sequence_complete(nullptr, 0), 0);
    EXPECT_EQ(utf8_sequence_complete(nullptr, -1), 0);
    EXPECT_EQ(utf8_sequence_complete("A", 1), 1);
    EXPECT_EQ(utf8_sequence_complete("\xC3", 1), 0);
    EXPECT_EQ(utf8_sequence_complete("\xC3\xA9", 2), 1);
    EXPECT_EQ(utf8_sequence_complete("\x80", 1), 0);
    EXPECT_EQ(utf8_sequence_complete("\xE2\x82", 2), 0);
    EXPECT_EQ(utf8_sequence_complete("\xF0\x9F\x98", 3), 1);
}

TEST(Utf8Count, KnownTexts) {
    EXPECT_EQ(utf8_count_chars(""), 0);
    EXPECT_EQ(utf8_count_chars("abc"), 3);
    EXPECT_EQ(utf8_count_chars("\xF0\x9F\x98\x80"), 4);
    EXPECT_EQ(utf8_count_chars_bounded("\xF0\x9F\x98\x80", 4), 3);
    EXPECT_EQ(utf8_count_chars("\x80"), 1);
    EXPECT_EQ(utf8_count_chars_bounded("\x80", 1), 0);
    EXPECT_EQ(utf8_count_chars_bounded("\x80", 2), 1);
    EXPECT_EQ(utf8_count_chars("\xE2\x82"), 2);
    EXPECT_EQ(utf8_count_chars("\xC3"), 1);
    EXPECT_EQ(utf8_count_chars("h\xC3\xA9llo"), 5);
    EXPECT_EQ(utf8_count_chars_bounded("\xE0\xA0\x80", 2), 0);
    EXPECT_EQ(utf8_count_chars_bounded("\xE0\xA0\x80", 3), 1);
    EXPECT_EQ(utf8_count_chars_bounded("ab\xE2", 3), 2);
    EXPECT_EQ(utf8_count_chars_bounded("a\0b", 3), 1);
    EXPECT_EQ(utf8_count_chars_bounded("\xE2"
                                       "A",
                                       2),
              0);
    EXPECT_EQ(utf8_count_chars_bounded("abc", 0), 0);
    // A bound far beyond the text stops at the terminator.
    EXPECT_EQ(utf8_count_chars_bounded("h\xC3\xA9", 0xFFFFFFFFu), 2);
    EXPECT_EQ(utf8_count_chars_bounded("h\xC3\xA9", 0x80000000u), 2);
}

TEST(Utf8Count, BoundedAtEveryCutOfMixedTexts) {
    const std::string texts[] = {
        "plain ascii",
        "h" + bytes_of({0xC3, 0xA9}) + "llo " + bytes_of({0xE2, 0x82, 0xAC}) + "5",
        bytes_of({0xE2, 0x82, 0xAC, 0xE2, 0x82, 0xAC, 0xC3, 0xA9, 0xC3, 0xA9}),
        bytes_of({0xF0, 0x9F, 0x98, 0x80, 0x41, 0x80, 0xC0, 0xAF, 0xE0, 0x9F, 0xBF, 0x42}),
        bytes_of({0xE2, 0x41, 0xC3, 0x42, 0xED, 0xA0, 0x80, 0xEF, 0xBF, 0xBF}),
        bytes_of({0xC3, 0xA9}) + std::string(1, '\0') + "after",
    };
    for (const std::string& text : texts) {
        // Beyond the end of the string object lie its terminator and padding.
        const std::string padded = text + std::string(4, '\0');
        const int32_t whole = utf8_count_chars(padded.c_str());
        int32_t previous = 0;
        for (uint32_t n = 0; n <= text.size() + 2; ++n) {
            const int32_t got = utf8_count_chars_bounded(padded.c_str(), n);
            EXPECT_EQ(got, utf8_reference::count_bounded(reinterpret_cast<const unsigned char*>(padded.c_str()), n))
                << "cut " << n << " of a text of " << text.size();
            EXPECT_GE(got, previous) << "the count shrank at cut " << n;
            EXPECT_LE(got, whole);
            previous = got;
        }
        // With two bytes to spare past the text every sequence in it is
        // complete, and the bounded count is the whole count.
        EXPECT_EQ(utf8_count_chars_bounded(padded.c_str(), static_cast<uint32_t>(text.size() + 2)), whole);
    }
}

TEST(Utf8Count, CountsWhatDecodingProduces) {
    const std::string text =
        bytes_of({0xF0, 0x9F, 0x98, 0x80, 0x41, 0x80, 0xC0, 0xAF, 0xE0, 0x9F, 0xBF, 0x42, 0xC3, 0xA9, 0xE2, 0x82});
    EXPECT_EQ(utf8_count_chars(text.c_str()), static_cast<int32_t>(decode_all(text).size()));
}

}  // namespace
