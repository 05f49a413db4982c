// The floor of each benchmark line: code written for exactly that format,
// bounded by the buffer (terminated, a UTF-8 text cut after a whole
// character), its widths counted in characters. Nothing generic: no format
// is read, no spec is kept, no writer is shared but these few lines.
#include "bench/floor.h"

#include <cstdint>
#include <cstring>

namespace {

// Where the text goes: the room before the terminator's byte.
struct Out {
    char* at;
    char* end;
};

void put_bytes(Out* out, const char* bytes, size_t n) {
    const size_t room = static_cast<size_t>(out->end - out->at);
    if (n > room) {
        n = room;
        // Back to the start of the character the room cuts.
        while (n > 0 && (static_cast<unsigned char>(bytes[n]) & 0xC0) == 0x80) --n;
    }
    memcpy(out->at, bytes, n);
    out->at += n;
}

void put_spaces(Out* out, int n) {
    const int room = static_cast<int>(out->end - out->at);
    if (n > room) n = room;
    if (n > 0) {
        memset(out->at, ' ', static_cast<size_t>(n));
        out->at += n;
    }
}

int finish(Out* out, char* buffer) {
    *out->at = '\0';
    return static_cast<int>(out->at - buffer);
}

// The digits of value, right-aligned in a 16-byte area; returns the first.
char* decimal(char* area_end, uint32_t value) {
    char* first = area_end;
    do {
        *--first = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value != 0);
    return first;
}

void put_int(Out* out, int value, int width) {
    char area[16];
    const uint32_t magnitude = value < 0 ? 0u - static_cast<uint32_t>(value) : static_cast<uint32_t>(value);
    char* first = decimal(area + sizeof area, magnitude);
    if (value < 0) *--first = '-';
    const int length = static_cast<int>(area + sizeof area - first);
    put_spaces(out, width - length);
    put_bytes(out, first, static_cast<size_t>(length));
}

void put_hex08(Out* out, uint32_t value) {
    static const char DIGITS[] = "0123456789abcdef";
    char area[8];
    for (int i = 7; i >= 0; --i, value >>= 4) area[i] = DIGITS[value & 15];
    put_bytes(out, area, 8);
}

// A text left-aligned in width characters: every byte but a continuation
// byte begins one.
void put_left(Out* out, const char* text, int width) {
    const size_t length = strlen(text);
    int chars = 0;
    for (size_t i = 0; i < length; ++i) chars += (static_cast<unsigned char>(text[i]) & 0xC0) != 0x80;
    put_bytes(out, text, length);
    put_spaces(out, width - chars);
}

}  // namespace

int floor_int(char* buffer, int size, int value) {
    Out out{buffer, buffer + size - 1};
    put_int(&out, value, 0);
    return finish(&out, buffer);
}

int floor_pad30(char* buffer, int size, const char* text) {
    Out out{buffer, buffer + size - 1};
    put_left(&out, text, 30);
    return finish(&out, buffer);
}

int floor_hex08(char* buffer, int size, int value) {
    Out out{buffer, buffer + size - 1};
    put_hex08(&out, static_cast<uint32_t>(value));
    return finish(&out, buffer);
}

int floor_mixed(char* buffer, int size, const char* word, int count, int hex, const char* state) {
    Out out{buffer, buffer + size - 1};
    put_bytes(&out, word, strlen(word));
    put_bytes(&out, ": ", 2);
    put_int(&out, count, 5);
    put_bytes(&out, " items, ", 8);
    put_hex08(&out, static_cast<uint32_t>(hex));
    put_bytes(&out, ", ", 2);
    put_left(&out, state, 10);
    put_bytes(&out, "|", 1);
    return finish(&out, buffer);
}

int floor_grouped(char* buffer, int size, int value) {
    Out out{buffer, buffer + size - 1};
    char area[24];
    char* first = area + sizeof area;
    uint32_t magnitude = value < 0 ? 0u - static_cast<uint32_t>(value) : static_cast<uint32_t>(value);
    for (int digits = 0;; ++digits) {
        if (digits > 0 && digits % 3 == 0) *--first = ',';
        *--first = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
        if (magnitude == 0) break;
    }
    if (value < 0) *--first = '-';
    put_bytes(&out, first, static_cast<size_t>(area + sizeof area - first));
    return finish(&out, buffer);
}
