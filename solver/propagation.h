// Singles propagation: the three deduction rules on one cell, a sweep over the grid, and the
// loop that sweeps until nothing changes. No guessing: what singles cannot reach stays 0.
#pragma once

#include "grid.h"

// Elimination by solved peers, then hidden singles in the row, the column and the box, then a
// naked single, all on cell (x, y) alone. Solved cells are left untouched.
void PropagateCell(int x, int y);

// PropagateCell on all 81 cells, down column 0, then down column 1, and so on; each cell sees what
// the cells before it in the sweep just found.
void SolvePass();

// Cycles of two sweeps until a cycle leaves the grid equal to the snapshot taken at its start.
// reference holds the starting snapshot (the blank grid at start-up) and is updated in place.
// Returns the number of cycles run.
int SolveUntilStable(Grid& reference);

// The same loop as plainly as it reads: cycles of two SolvePass calls. SolveUntilStable leaves
// the same grid, snapshot and cycle count, many times faster; this one is what it is checked
// and timed against, and what it hands the grids it does not take.
int PlainSolveUntilStable(Grid& reference);

// Either of the two loops above.
using SolvingLoop = int (*)(Grid& reference);
