// The process-wide grid, the single-cell writes of the parser and the plain rules, and the byte
// snapshots. The solving loop works on a copy of its own and writes the whole grid back.
#include "grid.h"

#include <cstring>

Grid grid;

void ResetCell(int x, int y) {
    Cell& cell = CellAt(x, y);
    cell.value = 0;
    std::memset(cell.candidates, 1, sizeof cell.candidates);
}

void ResetGrid() {
    for (int x = 0; x < kSide; ++x) {
        for (int y = 0; y < kSide; ++y) ResetCell(x, y);
    }
}

void PlaceDigit(int x, int y, long long d) {
    // Only the low byte counts, read as signed: 257 places 1, 256 and -5 place nothing.
    const auto n = static_cast<std::int8_t>(static_cast<std::uint8_t>(d & 0xFF));
    if (n < 1 || n > 9) return;
    Cell& cell = CellAt(x, y);
    std::memset(&cell, 0, sizeof cell);
    cell.value = n;
    cell.candidates[n - 1] = 1;
}

void ResolveSingleCandidate(int x, int y) {
    Cell& cell = CellAt(x, y);
    if (cell.value != 0) return;
    std::uint8_t sum = 0;
    int last = 0;
    for (int d = 1; d <= 9; ++d) {
        sum = static_cast<std::uint8_t>(sum + cell.candidates[d - 1]);
        if (cell.candidates[d - 1]) last = d;
    }
    if (sum == 1) cell.value = static_cast<std::int8_t>(last);
}

void TakeSnapshot(Grid& snapshot) {
    std::memcpy(&snapshot, &grid, sizeof grid);
}

bool MatchesSnapshot(const Grid& snapshot) {
    return std::memcmp(&snapshot, &grid, sizeof grid) == 0;
}
