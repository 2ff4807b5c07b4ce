// The grid as display text: nine lines of nine digits, each digit followed by a blank.
#pragma once

// One row is "5 3 0 0 7 0 0 0 0 \n": a digit and a blank per cell, then LF; 0 is an unsolved cell.
constexpr int kRowTextLength = 9 * 2 + 1;
constexpr int kGridTextLength = 9 * kRowTextLength;
static_assert(kGridTextLength == 171);

// Writes the 171 bytes of the grid's text at the start of text, and no terminating NUL: the
// caller zero-fills its buffer once, and later renderings overwrite the same bytes.
void RenderGrid(char* text);
