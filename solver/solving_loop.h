// The fast solving loop on its own, behind SolveUntilStable.
#pragma once

#include "grid.h"

// SolveUntilStable's results, byte for byte, on every grid the grid's writers can produce. On a
// grid they cannot (a flag above 1, a value outside 0 to 9), or should it ever run more sweeps
// than any grid needs, it returns -1 and leaves the grid and reference as they were:
// SolveUntilStable then runs the plain loop.
int FastSolveUntilStable(Grid& reference);
