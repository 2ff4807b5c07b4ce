// The solving loop transcribed rule by rule, on a grid passed in: the model that the solver's own
// loop is compared against, in the tests and in the benchmark.
#pragma once

#include "solver/grid.h"

namespace reference_model {

// The three rules on cell (x, y) of g, the neighbours visited one by one with a byte tally.
void PropagateCell(Grid& g, int x, int y);

// PropagateCell on all 81 cells of g, x outer and y inner.
void SolvePass(Grid& g);

// Cycles of two sweeps over g until a cycle leaves g equal to snapshot, which is updated in place.
// Returns the number of cycles.
int SolveUntilStable(Grid& g, Grid& snapshot);

}  // namespace reference_model
