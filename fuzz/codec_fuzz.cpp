// Fuzzes the character codec and the bounded copy with arbitrary bytes and
// holds them to their invariants:
//   - a decode consumes 1 to 3 bytes, gives what an independent decoder
//     gives, and never reads past a byte that is not a continuation byte;
//   - encoding a decoded value gives the same bytes back (a malformed byte
//     gives C2 80), and encode, utf8_char_length and utf8_units_length agree;
//   - utf8_count_chars counts the decode steps to the terminator, and
//     utf8_count_chars_bounded agrees with it once the bound covers every
//     sequence of the text,
//     grows with the bound and stops where the algorithm says;
//   - utf8_sequence_complete judges by the lead byte alone;
//   - copy_utf8_bounded writes only inside its range, terminates, and keeps
//     the longest prefix of whole characters, a malformed byte one of its
//     own, that fits;
//   - the library's one step of a character (text_char) takes a
//     well-formed sequence of one to four bytes as one character and every
//     other byte as a malformed one, and cuts a character only where the
//     bytes available stop inside a well-formed beginning; count_field_chars
//     and count_field_chars_bounded count its steps.
// Input: one byte giving the copy's destination size, then the text.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "format/detail/text_char.h"
#include "format/format.h"
#include "format/utf8.h"
#include "fuzz/check.h"
#include "portability/error_text.h"
#include "tests/format/utf8_reference.h"

using namespace bracket;

namespace {

using utf8_reference::cut_by;
using utf8_reference::decode_full;
using utf8_reference::required_bytes;

void check_decode_and_encode(const unsigned char* text, size_t length) {
    // Every position, on text that ends in its terminator.
    for (size_t at = 0; at <= length; ++at) {
        Char16 value = 0x1234, expected;
        int32_t consumed = decode_utf8_char(&value, reinterpret_cast<const char*>(text + at));
        CHECK(consumed >= 1 && consumed <= UTF8_MAX_BYTES);
        CHECK(consumed == utf8_reference::decode(text + at, &expected));
        CHECK(value == expected);

        char encoded[UTF8_MAX_BYTES];
        int32_t written = encode_utf8_char(encoded, &value);
        CHECK(written == utf8_char_length(value));
        CHECK(utf8_units_length(&value, 1) == written);
        if (consumed == 1 && text[at] >= 0x80) {
            CHECK(written == 2 && memcmp(encoded, "\xC2\x80", 2) == 0);
        } else {
            CHECK(written == consumed && memcmp(encoded, text + at, static_cast<size_t>(written)) == 0);
        }
    }
}

void check_counts(const unsigned char* text, size_t length) {
    const char* chars = reinterpret_cast<const char*>(text);
    int32_t steps = 0;
    for (size_t at = 0; text[at] != 0; ++steps) {
        Char16 ignored;
        at += static_cast<size_t>(utf8_reference::decode(text + at, &ignored));
    }
    int32_t count = utf8_count_chars(chars);
    CHECK(count == steps);

    size_t text_length = strlen(chars);
    CHECK(utf8_count_chars_bounded(chars, UINT32_MAX) == count);
    // Completeness is judged by the lead byte alone, so a lead byte among the
    // last two before the terminator stops a bound of text_length + 1; two
    // bytes more cover every sequence, and the terminator stops the count.
    CHECK(utf8_count_chars_bounded(chars, static_cast<uint32_t>(text_length + UTF8_MAX_BYTES)) == count);
    int32_t previous = 0;
    for (size_t n = 0; n <= length && n <= 96; ++n) {
        int32_t bounded = utf8_count_chars_bounded(chars, static_cast<uint32_t>(n));
        CHECK(bounded == utf8_reference::count_bounded(text, n));
        CHECK(bounded >= previous && bounded <= count);
        previous = bounded;
    }

    for (size_t at = 0; at < length; ++at) {
        for (int32_t n = -1; n <= 4; ++n) {
            int32_t complete = utf8_sequence_complete(chars + at, n);
            CHECK(complete == (n > 0 && n >= required_bytes(text[at]) ? 1 : 0));
        }
    }
}

// The step over the n bytes at text: 0 where they end inside a well-formed
// beginning, else the length of the character there, which the full decode
// gives: what it may read past n cannot change its answer then.
int32_t reference_step(const unsigned char* text, int32_t n, uint32_t* value) {
    if (cut_by(text, n)) return 0;
    return decode_full(text, value);
}

void check_text_char(const unsigned char* text, size_t length) {
    const char* chars = reinterpret_cast<const char*>(text);
    int32_t steps = 0;
    for (size_t at = 0; text[at] != 0; ++steps) {
        uint32_t ignored;
        at += static_cast<size_t>(decode_full(text + at, &ignored));
    }
    CHECK(count_field_chars(chars) == steps);

    for (size_t at = 0; at < length; ++at) {
        for (size_t n = 1; n <= length - at && n <= 6; ++n) {
            uint32_t expected = 0x12345678;
            const TextChar c = text_char(chars + at, static_cast<int32_t>(n));
            const int32_t reference = reference_step(text + at, static_cast<int32_t>(n), &expected);
            CHECK(c.cut == (reference == 0));
            if (reference > 0) CHECK(c.length == reference && c.value == expected);
        }
    }
    for (size_t n = 0; n <= length && n <= 96; ++n) {
        int32_t count = 0;
        uint32_t ignored;
        for (size_t at = 0, step; at < n && text[at] != 0; at += step, ++count) {
            step = static_cast<size_t>(reference_step(text + at, static_cast<int32_t>(n - at), &ignored));
            if (step == 0) break;
        }
        CHECK(count_field_chars_bounded(chars, static_cast<int32_t>(n)) == count);
    }
}

// The longest prefix of source of whole characters that is at most room
// bytes long.
size_t expected_copy_length(const unsigned char* source, size_t room) {
    size_t length = 0;
    uint32_t ignored;
    for (size_t step; source[length] != 0; length += step) {
        step = static_cast<size_t>(decode_full(source + length, &ignored));
        if (length + step > room) break;
    }
    return length;
}

void check_copy(const unsigned char* source, size_t destination_size) {
    constexpr unsigned char CANARY = 0xA5;
    constexpr size_t GUARD = 8;
    // A block of exactly the range and its guard, so that the sanitizer
    // sees a write beyond the guard as well.
    unsigned char* block = static_cast<unsigned char*>(malloc(destination_size + GUARD));
    memset(block, CANARY, destination_size + GUARD);
    char* begin = reinterpret_cast<char*>(block);
    char* end = begin + destination_size;
    char* terminator = copy_utf8_bounded(begin, end, reinterpret_cast<const char*>(source));
    for (size_t i = destination_size; i < destination_size + GUARD; ++i) CHECK(block[i] == CANARY);
    if (destination_size == 0) {
        CHECK(terminator == begin);
    } else {
        size_t length = expected_copy_length(source, destination_size - 1);
        CHECK(terminator == begin + length);
        CHECK(*terminator == '\0');
        CHECK(memcmp(begin, source, length) == 0);
    }

    // An end before the beginning: nothing written.
    memset(block, CANARY, destination_size + GUARD);
    CHECK(copy_utf8_bounded(begin + GUARD / 2, begin, reinterpret_cast<const char*>(source)) == begin + GUARD / 2);
    for (size_t i = 0; i < destination_size + GUARD; ++i) CHECK(block[i] == CANARY);
    free(block);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // Every value survives encoding and decoding, at its own length.
    for (uint32_t v = 0; v <= 0xFFFF; ++v) {
        Char16 value = static_cast<Char16>(v), back = 0;
        char encoded[UTF8_MAX_BYTES + 1] = {};
        int32_t written = encode_utf8_char(encoded, &value);
        CHECK(written == utf8_char_length(static_cast<int32_t>(v)));
        CHECK(decode_utf8_char(&back, encoded) == written && back == value);
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    size_t destination_size = data[0] % 80;
    ++data;
    --size;
    // The text with its terminator, in a block of its own so that the
    // sanitizer sees a read past it.
    unsigned char* text = static_cast<unsigned char*>(malloc(size + 1));
    memcpy(text, data, size);
    text[size] = 0;

    check_decode_and_encode(text, size);
    check_counts(text, size);
    check_text_char(text, size);
    check_copy(text, destination_size);

    // The same bytes as units: the lengths add up.
    size_t units = size / 2;
    Char16* unit_text = static_cast<Char16*>(malloc((units + 1) * sizeof(Char16)));
    memcpy(unit_text, data, units * sizeof(Char16));
    int32_t total = 0;
    for (size_t i = 0; i < units; ++i) total += utf8_char_length(unit_text[i]);
    CHECK(utf8_units_length(unit_text, static_cast<int32_t>(units)) == total);
    free(unit_text);

    free(text);
    return 0;
}
