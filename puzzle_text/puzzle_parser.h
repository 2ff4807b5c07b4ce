// The loose puzzle format: nine lines of nine numbers each, turned into givens on the grid.
#pragma once

#include <cstdint>

#include "puzzle_text/file_buffer.h"

// Bytes per line read, terminator included; longer lines continue as the next line.
constexpr int kLineCapacity = 1024;

struct ParsedInteger {
    std::int32_t number;
    const char* end;  // just past the last byte used; the text itself when nothing was read
};

// Reads one integer the way strtol does with base 0 (leading white space, a sign, 0x for
// hexadecimal, 0 for octal), saturating at the 32-bit limits. When no digit follows, nothing is
// consumed, not even the sign or the 0 of a bare 0x.
ParsedInteger ParseInteger(const char* text);

// Reads the first nine lines of buffer into rows 0 to 8 and the first nine numbers of each line
// into columns 0 to 8, through PlaceDigit: 1 to 9 (by the low byte) is a given, anything else
// leaves the cell empty. line is the caller's working buffer.
void ParsePuzzle(FileBuffer& buffer, char (&line)[kLineCapacity]);
