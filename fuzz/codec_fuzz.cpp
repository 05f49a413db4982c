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
//     the longest prefix that fits without splitting a character;
//   - the field writers' step takes a well-formed four-byte sequence as one
//     character and leaves everything else to the 16-bit decode, ends a
//     counted text at a sequence cut short, and count_field_chars counts
//     its steps.
// Input: one byte giving the copy's destination size, then the text.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "format/detail/utf8_inline.h"
#include "format/format.h"
#include "format/utf8.h"
#include "fuzz/check.h"
#include "portability/error_text.h"
#include "tests/format/utf8_reference.h"

namespace {

using utf8_reference::decode_full;
using utf8_reference::four_byte_start;
using utf8_reference::is_continuation;
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

// The writers' step over the n bytes at text (a lead of 0x80 or more): the
// length of a whole character within them, or 0 where the text ends in one
// cut short, which is a four-byte character cut anywhere, or any other
// sequence whose lead byte alone asks for more than is there.
int32_t reference_text_step(const unsigned char* text, int32_t n, uint32_t* value) {
    if (n < 4 && four_byte_start(text, n)) return 0;
    if (n < required_bytes(text[0])) return 0;
    // The bytes the full decode may read past n are not continuation
    // bytes of a sequence that fits, so n bounds what it takes.
    int32_t length = decode_full(text, value);
    return length <= n ? length : 0;
}

void check_text_step(const unsigned char* text, size_t length) {
    const char* chars = reinterpret_cast<const char*>(text);
    int32_t steps = 0;
    for (size_t at = 0; text[at] != 0; ++steps) {
        uint32_t ignored;
        at += static_cast<size_t>(decode_full(text + at, &ignored));
    }
    CHECK(count_field_chars(chars) == steps);

    for (size_t at = 0; at < length; ++at) {
        if (text[at] < 0x80) continue;
        for (size_t n = 1; n <= length - at && n <= 6; ++n) {
            uint32_t value = 0x12345678, expected = 0x12345678;
            int32_t step = text_step(&value, chars + at, static_cast<int32_t>(n));
            int32_t reference = reference_text_step(text + at, static_cast<int32_t>(n), &expected);
            CHECK(step == reference);
            if (step > 0) CHECK(value == expected);
        }
    }
}

// The longest prefix of source that is at most room bytes long and is not
// followed in source by a continuation byte.
size_t expected_copy_length(const unsigned char* source, size_t room) {
    size_t length = strlen(reinterpret_cast<const char*>(source));
    if (length <= room) return length;
    size_t cut = room;
    while (cut > 0 && is_continuation(source[cut])) --cut;
    return cut;
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
    check_text_step(text, size);
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
