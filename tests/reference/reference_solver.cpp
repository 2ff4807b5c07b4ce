// The plain transcription of the solving loop: one neighbour at a time, nine byte tallies per unit,
// every sweep over all 81 cells. Slow on purpose; it only has to be obviously right.
#include "tests/reference/reference_solver.h"

#include <cstring>

namespace reference_model {
namespace {

using Tally = std::uint8_t[10];

Cell& At(Grid& g, int x, int y) {
    return g.cells[y * kSide + x];
}

// The solver writes only digits 1 to 9, so the narrowing of the grid's own PlaceDigit never
// matters here.
void Place(Cell& cell, int d) {
    std::memset(&cell, 0, sizeof cell);
    cell.value = static_cast<std::int8_t>(d);
    cell.candidates[d - 1] = 1;
}

void Visit(Cell& cell, const Cell& peer, Tally& tally) {
    if (peer.value > 0) cell.candidates[peer.value - 1] = 0;
    for (int d = 1; d <= 9; ++d)
        tally[d] = static_cast<std::uint8_t>(tally[d] + peer.candidates[d - 1]);
}

// Every digit with a zero tally is placed in turn, so the highest one stays.
void PlaceUnseenDigits(Cell& cell, const Tally& tally) {
    for (int d = 1; d <= 9; ++d) {
        if (tally[d] == 0) Place(cell, d);
    }
}

void ResolveSingle(Cell& cell) {
    if (cell.value != 0) return;
    std::uint8_t sum = 0;
    int last = 0;
    for (int d = 1; d <= 9; ++d) {
        sum = static_cast<std::uint8_t>(sum + cell.candidates[d - 1]);
        if (cell.candidates[d - 1]) last = d;
    }
    if (sum == 1) cell.value = static_cast<std::int8_t>(last);
}

}  // namespace

void PropagateCell(Grid& g, int x, int y) {
    Cell& cell = At(g, x, y);
    if (cell.value > 0) return;

    Tally row = {};
    for (int c = 0; c < kSide; ++c) {
        if (c != x) Visit(cell, At(g, c, y), row);
    }
    PlaceUnseenDigits(cell, row);

    Tally column = {};
    for (int r = 0; r < kSide; ++r) {
        if (r != y) Visit(cell, At(g, x, r), column);
    }
    PlaceUnseenDigits(cell, column);

    Tally box = {};
    const int left = x / 3 * 3;
    const int top = y / 3 * 3;
    for (int r = top; r < top + 3; ++r) {
        for (int c = left; c < left + 3; ++c) {
            if (c != x || r != y) Visit(cell, At(g, c, r), box);
        }
    }
    PlaceUnseenDigits(cell, box);

    ResolveSingle(cell);
}

void SolvePass(Grid& g) {
    for (int x = 0; x < kSide; ++x) {
        for (int y = 0; y < kSide; ++y) PropagateCell(g, x, y);
    }
}

int SolveUntilStable(Grid& g, Grid& snapshot) {
    int cycles = 0;
    while (std::memcmp(&g, &snapshot, sizeof g) != 0) {
        std::memcpy(&snapshot, &g, sizeof g);
        SolvePass(g);
        SolvePass(g);
        ++cycles;
    }
    return cycles;
}

}  // namespace reference_model
