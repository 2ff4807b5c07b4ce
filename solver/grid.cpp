// The process-wide grid, the single-cell writes of the parser and the plain rules, and the byte
// snapshots. The solving loop works on a copy of its own and writes the whole grid back.
#include "grid.h"

#include <cstring>

Grid grid;

void ResetCell(int x, int y) {
    auto* bytes = reinterpret_cast<unsigned char*>(&CellAt(x, y));
    std::memcpy(bytes, &kBlankBytes.low, sizeof kBlankBytes.low);
    std::memcpy(bytes + sizeof kBlankBytes.low, &kBlankBytes.high, sizeof kBlankBytes.high);
}

void ResetGrid() {
    // The first row cell by cell, then every other row as a copy of it.
    for (int x = 0; x < kSide; ++x) ResetCell(x, 0);
    for (int y = 1; y < kSide; ++y) std::memcpy(&CellAt(0, y), &CellAt(0, 0), sizeof(Cell) * kSide);
}

void PlaceDigit(int x, int y, long long d) {
    // Only the low byte counts, read as signed: 257 places 1, 256 and -5 place nothing. Given or
    // blank comes in no order a processor could learn, so the cell is rewritten either way, to
    // itself where the byte is no digit, rather than branched around.
    const unsigned digit = DigitOrZero(static_cast<std::uint8_t>(d & 0xFF));
    const std::uint64_t keep = -std::uint64_t{digit == 0};  // all ones for no digit
    unsigned char* bytes = reinterpret_cast<unsigned char*>(&CellAt(x, y));
    std::uint64_t low;
    std::uint16_t high;
    std::memcpy(&low, bytes, sizeof low);
    std::memcpy(&high, bytes + sizeof low, sizeof high);
    low = (low & keep) | kPlacedBytes.low[digit];
    high = static_cast<std::uint16_t>((high & keep) | kPlacedBytes.high[digit]);
    std::memcpy(bytes, &low, sizeof low);
    std::memcpy(bytes + sizeof low, &high, sizeof high);
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
