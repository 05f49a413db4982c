// Fuzzes the bounded entry points with a fuzzed format, a fuzzed buffer size
// and a fuzzed text behind the string verbs, and holds every result to the
// entry points' contract:
//   - size <= 0 (or an empty range): -1 (null), and not a byte written;
//   - otherwise the text is terminated at the result, which is at most
//     size - 1, and nothing past the buffer is touched;
//   - a cut text is never reported as -1;
//   - the text is the longest prefix of the uncut text that ends on a
//     character boundary and fits in size - 1 bytes (where literal text may
//     have joined into characters it was not written as, at least no unit
//     would have fitted after it);
//   - wide output, through format_run on a prepared state, writes whole
//     units inside its room only, and gives the first units of the uncut
//     text (one fewer where they would end inside a surrogate pair);
//   - no byte of a field's text is lost: with room enough and no
//     precision, "%*s" of the scratch text writes count_field_chars
//     characters, each well-formed sequence as it is and each other byte as
//     U+0080, and a fill of the width less that count.
// A character is UTF-8 of one to four bytes: beyond U+FFFF it is whole in
// narrow output and a surrogate pair in wide.
//
// Input: two bytes of size (the first also gives the width and alignment of
// the "%*s" field), one byte choosing the thread error code for the verb
// "r", one byte giving the length of the scratch text, the scratch text, and
// the rest is the format.
#include <cstdarg>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "format/format.h"
#include "fuzz/check.h"
#include "platform/platform.h"
#include "portability/error_text.h"

using namespace bracket;

namespace {

// Every call gets the same ARGUMENTS pointers to the scratch block. Read as
// an int (%d, %c, "*") a pointer's slot gives its low half on x86-64, read
// as a pointer it is the block: a UTF-8 text, a 0-terminated Char16 text and
// room for the widest store of %n (8 bytes), all at once.
constexpr int ARGUMENTS = 48;
constexpr size_t SCRATCH_TEXT = 40;
alignas(8) unsigned char scratch[SCRATCH_TEXT + 8];
unsigned char scratch_input[SCRATCH_TEXT];
size_t scratch_length = 0;

void reset_scratch() {
    memset(scratch, 0, sizeof scratch);
    memcpy(scratch, scratch_input, scratch_length);
}

#define A8(p) p, p, p, p, p, p, p, p
#define A48(p) A8(p), A8(p), A8(p), A8(p), A8(p), A8(p)

int32_t call_buffer(char* buffer, int32_t size, const char* format) {
    reset_scratch();
    void* p = scratch;
    return format_buffer(buffer, size, format, A48(p));
}

char* range_args(char* buffer, char* end, const char* format, ...) {
    va_list args;
    va_start(args, format);
    char* result = format_range_args(buffer, end, format, args);
    va_end(args);
    return result;
}

char* call_range(char* buffer, char* end, const char* format) {
    reset_scratch();
    void* p = scratch;
    return range_args(buffer, end, format, A48(p));
}

// Wide output, only reachable through a prepared state: format_run over
// room units of the block at units.
struct WideRun {
    int32_t result;
    int32_t emitted;
    size_t written;  // units between the start and out
};

int32_t run_wide_args(FormatState* state, const char* format, ...) {
    va_list args;
    va_start(args, format);
    va_copy(state->args, args);
    int32_t result = format_run(state, format);
    va_end(state->args);
    va_end(args);
    return result;
}

WideRun run_wide(Char16* units, size_t room, const char* format) {
    reset_scratch();
    void* p = scratch;
    FormatState state{};
    state.wide = 1;
    state.buffer_start = state.out = reinterpret_cast<char*>(units);
    state.limit = state.out + room * sizeof(Char16);
    int32_t result = run_wide_args(&state, format, A48(p));
    CHECK(state.out >= state.buffer_start && state.out <= state.limit);
    return {result, state.emitted, static_cast<size_t>(state.out - state.buffer_start) / sizeof(Char16)};
}

// Every spec ends in one verb and takes at most one argument for it, plus one
// for each "*". A "%" or "*" byte is never inside a multi-byte sequence, so
// counting bytes is exact enough. Cuts the format where it could take more
// than the list holds.
void cut_to_arguments(char* format) {
    int taken = 0;
    for (char* p = format; *p != '\0'; ++p) {
        if (*p == '%' || *p == '*') {
            if (++taken > ARGUMENTS) {
                *p = '\0';
                return;
            }
        }
    }
}

// The length of the character at text, by UTF-8's rules but written apart
// from the library: 2 to 4 for a well-formed sequence (up to U+10FFFF), 1
// for anything else.
size_t char_length(const unsigned char* text, size_t available) {
    unsigned b0 = text[0];
    if (b0 < 0xC2 || b0 > 0xF4) return 1;
    if (available < 2 || (text[1] & 0xC0) != 0x80) return 1;
    if (b0 < 0xE0) return 2;
    if (available < 3 || (text[2] & 0xC0) != 0x80) return 1;
    if (b0 == 0xE0 && text[1] < 0xA0) return 1;
    if (b0 < 0xF0) return 3;
    if (available < 4 || (text[3] & 0xC0) != 0x80) return 1;
    if ((b0 == 0xF0 && text[1] < 0x90) || (b0 == 0xF4 && text[1] >= 0x90)) return 1;
    return 4;
}

bool high_surrogate(Char16 unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool low_surrogate(Char16 unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

// The longest prefix of text[0, length) that ends on a character boundary
// and is at most room bytes long.
size_t boundary_prefix(const char* text, size_t length, size_t room) {
    const unsigned char* bytes = reinterpret_cast<const unsigned char*>(text);
    size_t end = 0;
    while (end < length) {
        size_t next = end + char_length(bytes + end, length - end);
        if (next > room) break;
        end = next;
    }
    return end;
}

// The characters of the scratch text written apart from the library, and
// the scratch text through "%*s" (left: "%-*s") of width against them.
void check_field_rule(int32_t width, bool left) {
    reset_scratch();
    const char* text = reinterpret_cast<const char*>(scratch);
    const size_t length = strlen(text);
    std::string narrow;
    std::u16string wide;
    int32_t chars = 0;
    for (size_t at = 0; at < length; ++chars) {
        const unsigned char* c = scratch + at;
        const size_t n = char_length(c, length - at);
        at += n;
        if (n == 1 && c[0] >= 0x80) {
            narrow += "\xC2\x80";
            wide += u'\x80';
            continue;
        }
        narrow.append(reinterpret_cast<const char*>(c), n);
        uint32_t value = n == 1 ? c[0] : c[0] & (0x7Fu >> n);
        for (size_t i = 1; i < n; ++i) value = value << 6 | (c[i] & 0x3Fu);
        if (value > 0xFFFF) {
            wide += static_cast<char16_t>(0xD800 + ((value - 0x10000) >> 10));
            value = 0xDC00 + (value & 0x3FF);
        }
        wide += static_cast<char16_t>(value);
    }
    CHECK(count_field_chars(text) == chars);
    const size_t fill = width > chars ? static_cast<size_t>(width - chars) : 0;
    const std::string narrow_field = left ? narrow + std::string(fill, ' ') : std::string(fill, ' ') + narrow;
    const std::u16string wide_field = left ? wide + std::u16string(fill, u' ') : std::u16string(fill, u' ') + wide;
    const char* format = left ? "%-*s" : "%*s";

    char out[256];
    const int32_t written = format_buffer(out, sizeof out, format, width, text);
    CHECK(static_cast<size_t>(written) == narrow_field.size() &&
          memcmp(out, narrow_field.data(), narrow_field.size()) == 0);
    Char16 units[256];
    FormatState state{};
    state.wide = 1;
    state.buffer_start = state.out = reinterpret_cast<char*>(units);
    state.limit = state.out + sizeof units - sizeof(Char16);
    CHECK(static_cast<size_t>(run_wide_args(&state, format, width, text)) == wide_field.size());
    CHECK(memcmp(units, wide_field.data(), wide_field.size() * sizeof(Char16)) == 0);
}

constexpr unsigned char CANARY = 0xA5;
constexpr size_t GUARD = 16;
constexpr int32_t REFERENCE_SIZE = 1 << 16;
char reference[REFERENCE_SIZE];
constexpr size_t WIDE_REFERENCE_UNITS = 1 << 15;
Char16 wide_reference[WIDE_REFERENCE_UNITS];

void check_untouched(const unsigned char* bytes, size_t from, size_t to) {
    for (size_t i = from; i < to; ++i) CHECK(bytes[i] == CANARY);
}

// What the big buffer gave: its text is in reference.
struct Reference {
    size_t length;
    // The text was cut by the big buffer too: only a prefix of the whole.
    bool cut;
    // The characters of the text are the units it was written in. Literal
    // text is written in the units its format decodes to, and a stretch that
    // ends in a byte of 0x80 or more just before a "%" may end in part of a
    // sequence that the next stretch completes in the text, though each
    // part was written as a unit of its own.
    bool units_are_characters;
};

// The text produced into size bytes against the reference text. Bytes past
// the terminator are never written: a unit that does not fit is not written
// at all, and nothing after it is.
void check_cut(const unsigned char* buffer, size_t allocated, int32_t size, size_t length, const Reference& whole) {
    const size_t room = static_cast<size_t>(size) - 1;
    CHECK(length <= room);
    CHECK(buffer[length] == 0);
    check_untouched(buffer, length + 1, allocated);
    CHECK(length <= whole.length);
    CHECK(memcmp(buffer, reference, length) == 0);
    if (whole.cut && room >= whole.length) return;
    if (whole.units_are_characters) {
        CHECK(length == boundary_prefix(reference, whole.length, room));
    } else {
        // A unit is at most four bytes, so less room than that is left.
        CHECK(length == whole.length || length + 4 > room);
    }
}

bool literal_may_end_in_part(const char* format) {
    for (const char* p = format; p[0] != '\0' && p[1] != '\0'; ++p) {
        if (static_cast<unsigned char>(p[0]) >= 0x80 && p[1] == '%') return true;
    }
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // A slot text longer than the slot, with a character at the cut.
    set_error_text("%s",
                   "error text: 0123456789 \xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80 0123456789 0123456789 0123456789 "
                   "0123456789 0123456789 0123456789 0123456789 0123456789 \xE2\x82\xAC\xF0\x9F\x98\x80");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 4) return 0;
    uint32_t size_bits = data[0] | static_cast<uint32_t>(data[1]) << 8;
    const uint8_t field_bits = data[0];
    int32_t buffer_size = size_bits == 0xFFFF ? INT32_MIN : static_cast<int32_t>(size_bits % 640) - 8;
    // The verb "r": the slot's text, or the system's text for a small code
    // (codes without one get the "windows error" text).
    platform_set_error_code(data[2] >= 0xC0 ? ERROR_TEXT_CODE : data[2]);
    scratch_length = data[3] % (SCRATCH_TEXT + 1);
    data += 4;
    size -= 4;
    if (scratch_length > size) scratch_length = size;
    memcpy(scratch_input, data, scratch_length);
    data += scratch_length;
    size -= scratch_length;
    check_field_rule(field_bits >> 2, (field_bits & 1) != 0);

    char* format = static_cast<char*>(malloc(size + 1));
    memcpy(format, data, size);
    format[size] = '\0';
    cut_to_arguments(format);

    int32_t reference_result = call_buffer(reference, REFERENCE_SIZE, format);
    CHECK(reference_result >= 0 && reference_result < REFERENCE_SIZE);
    Reference whole;
    whole.length = static_cast<size_t>(reference_result);
    CHECK(reference[whole.length] == '\0');
    // Room for a four-byte character to spare means it was not cut.
    whole.cut = whole.length + 4 >= static_cast<size_t>(REFERENCE_SIZE) - 1;
    whole.units_are_characters = !literal_may_end_in_part(format);

    size_t allocated = (buffer_size > 0 ? static_cast<size_t>(buffer_size) : 0) + GUARD;
    unsigned char* buffer = static_cast<unsigned char*>(malloc(allocated));
    char* text = reinterpret_cast<char*>(buffer);

    memset(buffer, CANARY, allocated);
    int32_t result = call_buffer(text, buffer_size, format);
    if (buffer_size <= 0) {
        CHECK(result == -1);
        check_untouched(buffer, 0, allocated);
    } else {
        CHECK(result >= 0);
        check_cut(buffer, allocated, buffer_size, static_cast<size_t>(result), whole);
    }

    memset(buffer, CANARY, allocated);
    char* end = text + (buffer_size > 0 ? buffer_size : 0);
    char* terminator = call_range(text, end, format);
    if (buffer_size <= 0) {
        CHECK(terminator == nullptr);
        check_untouched(buffer, 0, allocated);
    } else {
        CHECK(terminator != nullptr && terminator >= text && terminator < end);
        check_cut(buffer, allocated, buffer_size, static_cast<size_t>(terminator - text), whole);
        CHECK(terminator - text == result);
    }

    free(buffer);

    // Wide output: whole units, so the text in room units is the first room
    // units of the uncut text, and the result is -1 or the units emitted.
    WideRun whole_wide = run_wide(wide_reference, WIDE_REFERENCE_UNITS, format);
    CHECK(whole_wide.result == -1 || whole_wide.result == whole_wide.emitted);
    CHECK(static_cast<size_t>(whole_wide.emitted) == whole_wide.written);
    const bool wide_cut = whole_wide.written == WIDE_REFERENCE_UNITS;
    const size_t room = buffer_size > 0 ? static_cast<size_t>(buffer_size) / 2 : 0;
    const Char16 canary_unit = 0xA5A5;
    Char16* units = static_cast<Char16*>(malloc((room + GUARD) * sizeof(Char16)));
    for (size_t i = 0; i < room + GUARD; ++i) units[i] = canary_unit;
    WideRun wide = run_wide(units, room, format);
    CHECK(wide.result == -1 || wide.result == wide.emitted);
    CHECK(static_cast<size_t>(wide.emitted) == wide.written);
    for (size_t i = wide.written; i < room + GUARD; ++i) CHECK(units[i] == canary_unit);
    CHECK(memcmp(units, wide_reference, wide.written * sizeof(Char16)) == 0);
    if (!wide_cut || room < WIDE_REFERENCE_UNITS) {
        // A surrogate pair may be one unit of two: then it is written whole
        // or not at all, and the text may stop one short of the room.
        const size_t fits = room < whole_wide.written ? room : whole_wide.written;
        CHECK(wide.written == fits || (wide.written + 1 == fits && high_surrogate(wide_reference[wide.written]) &&
                                       low_surrogate(wide_reference[fits])));
        if (room > whole_wide.written) CHECK(wide.result == whole_wide.result);
    }
    free(units);

    free(format);
    return 0;
}
