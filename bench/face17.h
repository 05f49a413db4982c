// The C++ face built as C++17 (bench/face17.cpp), into a 256-byte buffer;
// each returns the bytes written before the terminator.
#pragma once

#include <string>

int face17_int(char* buffer, int value);
int face17_pad30(char* buffer, const char* text);
int face17_hex08(char* buffer, int value);
int face17_grouped(char* buffer, int value);
int face17_mixed(char* buffer, const char* word, int count, int hex, const char* state);
std::string face17_mixed_string(const char* word, int count, int hex, const char* state);
