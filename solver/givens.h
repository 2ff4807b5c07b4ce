// A puzzle as the benchmark and the tests hand it to the solver: its givens, put on the blank
// grid, and one puzzle run as the program runs it. The programs take their givens from the parser
// and link none of this.
#pragma once

#include <array>
#include <cstdint>

#include "grid.h"
#include "propagation.h"

// A puzzle's givens, row-major: a digit 1 to 9, or 0 for a blank cell.
using Givens = std::array<std::int8_t, kCells>;

// The blank grid with the givens placed, each cell written once: what ResetGrid and then
// PlaceDigit on every cell, row by row as the parser goes, leave.
void PlaceGivens(const Givens& givens);

// One puzzle as the program runs it: the blank grid, copied into reference as the first
// snapshot, then the givens, then loop. Returns the loop's cycle count.
int SolveGivens(const Givens& givens, Grid& reference, SolvingLoop loop = SolveUntilStable);
