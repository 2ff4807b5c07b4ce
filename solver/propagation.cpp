// The deduction rules, applied cell by cell in a fixed order that decides the result, and the plain
// loop of sweeps that applies them to a fixpoint.
#include "propagation.h"

#include <cstdint>

namespace {

// How many peers of a unit still allow each digit; index 0 is unused. At most eight peers count,
// so a byte never overflows.
using Tally = std::uint8_t[10];

// One peer of (x, y): a solved peer removes its digit from the cell, and every peer's flags count
// towards the tally (a solved peer's single flag counts for its own digit). A value above 9 names
// no digit and removes nothing: the cell has no flag for it.
void Visit(Cell& cell, const Cell& peer, Tally& tally) {
    if (peer.value > 0 && peer.value <= kSide) cell.candidates[peer.value - 1] = 0;
    for (int d = 1; d <= 9; ++d)
        tally[d] = static_cast<std::uint8_t>(tally[d] + peer.candidates[d - 1]);
}

// Hidden single: a digit no peer of the unit allows must be the cell's. The cell's own flags are
// not consulted, and when several digits qualify the highest one is placed last and stays.
void PlaceUnseenDigits(int x, int y, const Tally& tally) {
    for (int d = 1; d <= 9; ++d) {
        if (tally[d] == 0) PlaceDigit(x, y, d);
    }
}

}  // namespace

void PropagateCell(int x, int y) {
    Cell& cell = CellAt(x, y);
    if (cell.value > 0) return;

    // The column and box steps still run when the row step has just solved the cell: in a
    // consistent grid they find nothing new, in an inconsistent one they may change it again.
    Tally tally = {};
    for (int c = 0; c < kSide; ++c) {
        if (c != x) Visit(cell, CellAt(c, y), tally);
    }
    PlaceUnseenDigits(x, y, tally);

    Tally column = {};
    for (int r = 0; r < kSide; ++r) {
        if (r != y) Visit(cell, CellAt(x, r), column);
    }
    PlaceUnseenDigits(x, y, column);

    Tally box = {};
    const int left = x / 3 * 3;
    const int top = y / 3 * 3;
    for (int r = top; r < top + 3; ++r) {
        for (int c = left; c < left + 3; ++c) {
            if (c != x || r != y) Visit(cell, CellAt(c, r), box);
        }
    }
    PlaceUnseenDigits(x, y, box);

    ResolveSingleCandidate(x, y);
}

void SolvePass() {
    for (int x = 0; x < kSide; ++x) {
        for (int y = 0; y < kSide; ++y) PropagateCell(x, y);
    }
}

int PlainSolveUntilStable(Grid& reference) {
    int cycles = 0;
    while (!MatchesSnapshot(reference)) {
        TakeSnapshot(reference);
        SolvePass();
        SolvePass();
        ++cycles;
    }
    return cycles;
}
