// The hand-written floor of each benchmark line (bench/floor.cpp). Each
// writes into buffer (size bytes, size > 0, terminator included) and returns
// the bytes written before the terminator.
#pragma once

int floor_int(char* buffer, int size, int value);           // "%d"
int floor_pad30(char* buffer, int size, const char* text);  // "%-30s"
int floor_hex08(char* buffer, int size, int value);         // "%08x"
int floor_grouped(char* buffer, int size, int value);       // "%,d"
int floor_mixed(char* buffer, int size, const char* word, int count, int hex,
                const char* state);  // "%s: %5d items, %08x, %-10s|"
